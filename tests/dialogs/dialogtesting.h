#pragma once
// Helpers for tests that show real dialogs offscreen: act on a window once it
// is up inside a modal run, and a fixture that lets dialogs reach the "user".
#include "dialogs/answerseam.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/tform.h"
#include "stateguards.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace dialogtesting {

// Calls `act` with the first visible window of kind W as soon as there is
// one (typically while exec() runs). Gives up after a few seconds, closing
// every open dialog so the test fails instead of hanging.
template <typename W> void whenvisible(std::function<void(W*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    const QDeadlineTimer deadline(5000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, act] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* found = qobject_cast<W*>(window);
            if (found && found->isVisible()) {
                poll->stop();
                poll->deleteLater();
                act(found);
                return;
            }
        }
        if (deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "the expected window never appeared";
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                    dialog->reject();
            }
        }
    });
    poll->start();
}

inline void click(QWidget* window, const char* buttonName)
{
    auto* button = window->findChild<QPushButton*>(QLatin1String(buttonName));
    ASSERT_NE(button, nullptr) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Real dialogs for the duration of a test: nothing queued, not unattended,
// one large screen, and a shown, active calling window of the given size.
class RealDialogTest : public ::testing::Test {
protected:
    void showCalling(platform::TForm& form, QRect bounds)
    {
        form.setGeometry(bounds);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    vek::ScriptedAnswers noAnswers;
    vek::UnattendedScope attended{false};
    testsupport::ScreenMetricsScope largeScreen{{[](const QWidget*) { return QRect(0, 0, 1920, 1080); }, {}, {}}};
};

}  // namespace dialogtesting
