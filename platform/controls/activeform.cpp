#include "platform/controls/activeform.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {
namespace {

constexpr int rememberedWindows = 16;

QList<QPointer<QWidget>>& history()
{
    static QList<QPointer<QWidget>> windows;
    return windows;
}

void remember()
{
    QWidget* active = QApplication::activeWindow();
    if (!active)
        return;
    QList<QPointer<QWidget>>& windows = history();
    windows.removeAll(QPointer<QWidget>());
    windows.removeAll(QPointer<QWidget>(active));
    windows.append(active);
    if (windows.size() > rememberedWindows)
        windows.removeFirst();
}

void followActivation()
{
    // A run without a display has only the core application: no windows to follow.
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app)
        QObject::connect(app, &QGuiApplication::focusWindowChanged, app, [] { remember(); });
}
Q_COREAPP_STARTUP_FUNCTION(followActivation)

}  // namespace

QWidget* activeform()
{
    remember();
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    const QList<QPointer<QWidget>>& windows = history();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (*it && (*it)->isVisible())
            return it->data();
    }
    return nullptr;
}

}  // namespace platform
