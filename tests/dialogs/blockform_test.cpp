// The blocking overlay: how it covers the calling window, where it puts the
// dialog, and the panel pop-up that writes its values back.
#include "dialogs/blockformu.h"
#include "dialogs/messagecalls.h"
#include "dialogs/vekdialogu.h"
#include "dialogtesting.h"
#include "platform/controls/tstdctrls.h"

namespace {

using namespace vek;
using dialogtesting::click;
using dialogtesting::RealDialogTest;
using dialogtesting::whenvisible;

class Overlay : public RealDialogTest {
protected:
    // Shows a plain OK dialog over a calling window with the given client
    // bounds; returns the overlay's and the dialog's bounds while both show.
    std::pair<QRect, QRect> boundsWhileShown(QRect callingBounds, QSize dialogSize = QSize(660, 213))
    {
        platform::TForm calling;
        showCalling(calling, callingBounds);
        TVekDialogFrm dialog;
        dialog.resize(dialogSize);
        dialog.setMessageStr(QStringLiteral("Covered"));
        dialog.setButtons({mbOK});
        QRect cover;
        QRect shown;
        whenvisible<TVekDialogFrm>([&](TVekDialogFrm* d) {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* overlay = qobject_cast<TBlockFrm*>(window); overlay && overlay->isVisible())
                    cover = overlay->geometry();
            }
            shown = d->geometry();
            click(d, "OK");
        });
        EXPECT_EQ(showoverform(&calling, &dialog), unsigned(platform::mrOk));
        return {cover, shown};
    }
};

TEST_F(Overlay, CoversTheCallingWindowAndCentresTheDialogOnIt)
{
    const QRect callingBounds(100, 80, 900, 700);
    const auto [cover, shown] = boundsWhileShown(callingBounds);
    EXPECT_EQ(cover, callingBounds);
    EXPECT_EQ(shown.size(), QSize(660, 213));
    EXPECT_LE(qAbs(shown.center().x() - callingBounds.center().x()), 1);
    EXPECT_LE(qAbs(shown.center().y() - callingBounds.center().y()), 1);
}

// The cover draws its translucency itself: the covered window shows through
// its colour at the cover's opacity whether or not a compositing manager
// runs (the window's own opacity would need one).
TEST_F(Overlay, TheCoveredWindowShowsThroughTheCoversColour)
{
    platform::TForm calling;
    calling.setColor(QColor(200, 0, 0));
    showCalling(calling, QRect(100, 80, 600, 400));
    TVekDialogFrm dialog;
    dialog.resize(200, 100);
    dialog.setMessageStr(QStringLiteral("Covered"));
    dialog.setButtons({mbOK});
    QImage seen;
    qreal opacity = 0;
    whenvisible<TVekDialogFrm>([&](TVekDialogFrm* d) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* overlay = qobject_cast<TBlockFrm*>(window); overlay && overlay->isVisible()) {
                seen = overlay->grab().toImage();
                opacity = overlay->windowOpacity();
            }
        }
        click(d, "OK");
    });
    EXPECT_EQ(showoverform(&calling, &dialog), unsigned(platform::mrOk));
    ASSERT_FALSE(seen.isNull());
    EXPECT_EQ(opacity, 1.0) << "the translucency does not depend on the window system";
    // A corner of the cover, away from the dialog: sky blue over red at 200/255.
    const QColor corner = seen.pixelColor(5, 5);
    const auto blend = [](int over, int under) { return (over * 200 + under * 55) / 255; };
    EXPECT_NEAR(corner.red(), blend(166, 200), 3);
    EXPECT_NEAR(corner.green(), blend(202, 0), 3);
    EXPECT_NEAR(corner.blue(), blend(240, 0), 3);
}

TEST_F(Overlay, TheCoverAndTheDialogFollowTheWindowWhenItIsMoved)
{
    platform::TForm calling;
    showCalling(calling, QRect(100, 80, 900, 700));
    TVekDialogFrm dialog;
    dialog.resize(660, 213);
    dialog.setMessageStr(QStringLiteral("Covered"));
    dialog.setButtons({mbOK});
    QRect cover;
    QPoint dialogBefore, dialogAfter;
    whenvisible<TVekDialogFrm>([&](TVekDialogFrm* d) {
        dialogBefore = d->pos();
        // Dragged by its title bar, which the cover leaves free.
        calling.move(calling.pos() + QPoint(150, 60));
        QCoreApplication::processEvents();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* overlay = qobject_cast<TBlockFrm*>(window); overlay && overlay->isVisible())
                cover = overlay->geometry();
        }
        dialogAfter = d->pos();
        click(d, "OK");
    });
    EXPECT_EQ(showoverform(&calling, &dialog), unsigned(platform::mrOk));
    EXPECT_EQ(cover, clientarea(&calling));
    EXPECT_EQ(cover.topLeft(), QPoint(250, 140));
    EXPECT_EQ(dialogAfter - dialogBefore, QPoint(150, 60));
}

TEST_F(Overlay, IsAtLeast300By250AndShrinksALargerDialog)
{
    struct Case {
        QRect calling;
        QSize dialog;
        QSize cover;
        QSize shown;
    };
    const Case cases[] = {
        // Shrunk to 50 pixels less than the calling window in that direction.
        {QRect(100, 100, 400, 300), QSize(660, 213), QSize(400, 300), QSize(350, 213)},
        {QRect(100, 100, 800, 300), QSize(660, 400), QSize(800, 300), QSize(660, 250)},
        // Below the overlay's minimum the dialog keeps the minimum's room, so
        // its buttons stay on screen.
        {QRect(100, 100, 200, 150), QSize(660, 213), QSize(300, 250), QSize(250, 213)},
    };
    for (const Case& c : cases) {
        const auto [cover, shown] = boundsWhileShown(c.calling, c.dialog);
        EXPECT_EQ(cover.size(), c.cover);
        EXPECT_EQ(cover.topLeft(), c.calling.topLeft());
        EXPECT_EQ(shown.size(), c.shown);
    }
}

TEST_F(Overlay, StaysOverTheWindowAnywhereOnTheMonitorAndComesBackWhenOffIt)
{
    const testsupport::ScreenMetricsScope smallerScreen(
        {[](const QWidget*) { return QRect(0, 0, 1600, 900); }, {}, {}});
    EXPECT_EQ(boundsWhileShown(QRect(900, 500, 400, 300)).first.topLeft(), QPoint(900, 500));
    EXPECT_EQ(boundsWhileShown(QRect(1700, 950, 400, 300)).first.topLeft(), QPoint(0, 0));
}

class PanelPopup : public RealDialogTest {
protected:
    void SetUp() override
    {
        RealDialogTest::SetUp();
        panel = new platform::TPanel(&calling);
        panel->setObjectName(QStringLiteral("OptionsPnl"));
        panel->setGeometry(10, 10, 300, 120);
        name = new platform::TEdit(panel);
        name->setObjectName(QStringLiteral("NameEdit"));
        name->setGeometry(10, 10, 150, 21);
        name->setText(QStringLiteral("old"));
        sub = new platform::TLabel(panel);
        sub->setObjectName(QStringLiteral("SubLabel"));
        sub->setCaption(QStringLiteral("hint"));
        agree = new platform::TCheckBox(panel);
        agree->setObjectName(QStringLiteral("AgreeChk"));
        agree->setGeometry(10, 40, 150, 17);
        done = new platform::TButton(panel);
        done->setObjectName(QStringLiteral("DoneBtn"));
        done->setGeometry(10, 70, 75, 25);
        done->setModalResult(platform::mrOk);
        showCalling(calling, QRect(100, 100, 500, 400));
    }
    platform::TForm calling;
    platform::TPanel* panel;
    platform::TEdit* name;
    platform::TLabel* sub;
    platform::TCheckBox* agree;
    platform::TButton* done;
};

TEST_F(PanelPopup, ChangesInTheCopyGoBackToThePanelButNotTheSubLabel)
{
    TBlockFrm overlay(&calling);
    platform::TPanel* copy = nullptr;
    bool subLabelCopied = true;
    whenvisible<TBlockFrm>([&](TBlockFrm* shown) {
        subLabelCopied = shown->AP->findChild<QWidget*>(QStringLiteral("SubLabel")) != nullptr;
        auto* nameCopy = shown->AP->findChild<platform::TEdit*>(QStringLiteral("NameEdit"));
        ASSERT_NE(nameCopy, nullptr);
        EXPECT_EQ(nameCopy->text(), QStringLiteral("old"));
        nameCopy->setText(QStringLiteral("new"));
        shown->AP->findChild<platform::TCheckBox*>(QStringLiteral("AgreeChk"))->setChecked(true);
        shown->close();
    });
    EXPECT_EQ(overlay.ShowPanel(&calling, panel, 20, 30, copy), unsigned(platform::mrCancel));
    EXPECT_EQ(copy, overlay.AP);
    EXPECT_FALSE(subLabelCopied);
    EXPECT_EQ(name->text(), QStringLiteral("new"));
    EXPECT_TRUE(agree->isChecked());
    EXPECT_EQ(sub->caption(), QStringLiteral("hint"));
}

TEST_F(PanelPopup, ACopiedButtonClosesThePopupAndCallsTheSourcesHandler)
{
    int handled = 0;
    QObject::connect(done, &QPushButton::clicked, [&] { ++handled; });
    TBlockFrm overlay(&calling);
    platform::TPanel* copy = nullptr;
    whenvisible<TBlockFrm>([&](TBlockFrm* shown) { click(shown->AP, "DoneBtn"); });
    EXPECT_EQ(overlay.ShowPanel(&calling, panel, 20, 30, copy), unsigned(platform::mrOk));
    EXPECT_EQ(handled, 1);
    // Only the pop-up closes, not the window the panel belongs to.
    EXPECT_TRUE(calling.isVisible());
}

}  // namespace
