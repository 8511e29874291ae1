// The message dialog shown for real (offscreen) and clicked: its button row,
// default button, Help, the close box, and the input modes' values.
#include "dialogs/blockformu.h"
#include "dialogs/messagecalls.h"
#include "dialogs/vekdialogu.h"
#include "dialogtesting.h"
#include "lib/stamps.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tstdctrls.h"

#include <algorithm>

namespace {

using namespace vek;
using dialogtesting::click;
using dialogtesting::RealDialogTest;
using dialogtesting::whenvisible;

QList<QPushButton*> rowOf(const TVekDialogFrm& dialog)
{
    QList<QPushButton*> row = dialog.BottomPnl->findChildren<QPushButton*>();
    std::sort(row.begin(), row.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    return row;
}

TEST(VekDialog, ButtonsStandInTableOrderRightAlignedFourPixelsApart)
{
    TVekDialogFrm dialog;
    dialog.setButtons({mbCancel, mbHelp, mbNo, mbYes});
    const QList<QPushButton*> row = rowOf(dialog);
    ASSERT_EQ(row.size(), 4);
    QStringList names;
    for (QPushButton* button : row)
        names << button->objectName();
    EXPECT_EQ(names, (QStringList{"Yes", "No", "Cancel", "Help"}));
    EXPECT_EQ(row[0]->text(), QStringLiteral("&Yes"));
    for (int i = 1; i < row.size(); ++i)
        EXPECT_EQ(row[i]->x(), row[i - 1]->x() + row[i - 1]->width() + 4);
    EXPECT_EQ(row.last()->x() + row.last()->width(), dialog.BottomPnl->width() - 24);
}

TEST(VekDialog, OnlyTheRequestedButtonIsDefaultAndTakesTheFocusUnlessTheInputBoxShows)
{
    TVekDialogFrm dialog;
    dialog.setButtons({mbYes, mbNo});
    dialog.setDefaultBtn(mbYes);
    dialog.setDefaultBtn(mbNo);
    auto* yes = dialog.findChild<QPushButton*>(QStringLiteral("Yes"));
    auto* no = dialog.findChild<QPushButton*>(QStringLiteral("No"));
    EXPECT_FALSE(yes->isDefault());
    EXPECT_TRUE(no->isDefault());
    EXPECT_EQ(dialog.focusWidget(), no);

    TVekDialogFrm password;
    password.setButtons({mbOK, mbCancel});
    password.setPasswordMode();
    password.setDefaultBtn(mbOK);
    EXPECT_TRUE(password.findChild<QPushButton*>(QStringLiteral("OK"))->isDefault());
    EXPECT_NE(password.focusWidget(), password.findChild<QPushButton*>(QStringLiteral("OK")));
    EXPECT_EQ(password.EditBox->echoMode(), QLineEdit::Password);
}

TEST(VekDialog, AnEmptyTitleLetsTheMessageStartAtTheTitlesPlace)
{
    TVekDialogFrm dialog;
    dialog.setMessageStr(QStringLiteral("Short"));
    dialog.setTitleStr(QString());
    dialog.show();
    EXPECT_EQ(dialog.MessageLbl->y(), dialog.TitleLbl->y());
    dialog.hide();
}

TEST(VekDialog, ALongMessageIsCutAt200PixelsAndTheFormGrowsToShowIt)
{
    TVekDialogFrm dialog;
    dialog.setMessageStr(QStringLiteral("A line of the message that wraps. ").repeated(200));
    dialog.setTitleStr(QStringLiteral("Title"));
    dialog.setButtons({mbOK});
    EXPECT_EQ(dialog.MessageLbl->height(), 200);
    EXPECT_LE(dialog.MessageLbl->x() + dialog.MessageLbl->width(), dialog.width());
    dialog.show();
    const int messageBottom = dialog.MessageLbl->y() + dialog.MessageLbl->height();
    EXPECT_LE(messageBottom, dialog.BottomPnl->y());
    EXPECT_EQ(dialog.BottomPnl->y() + dialog.BottomPnl->height(), dialog.height());
    dialog.hide();
}

class ShownDialog : public RealDialogTest {
protected:
    void SetUp() override
    {
        RealDialogTest::SetUp();
        showCalling(calling, QRect(100, 100, 800, 600));
    }
    platform::TForm calling;
};

TEST_F(ShownDialog, DlgmessageAnswersWithTheClickedButtonInTheOrderOfTheTable)
{
    QStringList order;
    whenvisible<TVekDialogFrm>([&](TVekDialogFrm* dialog) {
        for (QPushButton* button : rowOf(*dialog))
            order << button->objectName();
        click(dialog, "Cancel");
    });
    const int result = dlgmessage(QStringLiteral("Continue?"), mtConfirmation, {mbCancel, mbNo, mbYes}, 0, mbYes);
    EXPECT_EQ(result, platform::mrCancel);
    EXPECT_EQ(order, (QStringList{"Yes", "No", "Cancel"}));
    ASSERT_EQ(shownmessages().size(), 1);
    EXPECT_EQ(shownmessages().first().message, QStringLiteral("Continue?"));
}

TEST_F(ShownDialog, HelpLeavesTheDialogOpen)
{
    bool openAfterHelp = false;
    whenvisible<TVekDialogFrm>([&](TVekDialogFrm* dialog) {
        click(dialog, "Help");
        QApplication::processEvents();
        openAfterHelp = dialog->isVisible();
        click(dialog, "OK");
    });
    EXPECT_EQ(dlgmessage(QStringLiteral("Read this"), mtInformation, {mbOK, mbHelp}, 0, mbOK), platform::mrOk);
    EXPECT_TRUE(openAfterHelp);
}

TEST_F(ShownDialog, TheCloseBoxGivesCancel)
{
    whenvisible<TVekDialogFrm>([](TVekDialogFrm* dialog) { dialog->close(); });
    EXPECT_EQ(dlgmessage(QStringLiteral("Close me"), mtWarning, {mbYes, mbNo}, 0, mbYes), platform::mrCancel);
    whenvisible<TVekDialogFrm>([](TVekDialogFrm* dialog) { dialog->close(); });
    EXPECT_EQ(askyesno(QStringLiteral("Are you sure?"), QLatin1Char('1')), QLatin1Char('0'));
}

TEST_F(ShownDialog, EnterAnswersTheDefaultOfAskyesno)
{
    for (const auto& [defaultAnswer, expected] :
         {std::pair{QLatin1Char('0'), QLatin1Char('0')}, std::pair{QLatin1Char('1'), QLatin1Char('1')}}) {
        whenvisible<TVekDialogFrm>([](TVekDialogFrm* dialog) {
            QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
            QTest::keyClick(target, Qt::Key_Return);
        });
        EXPECT_EQ(askyesno(QStringLiteral("Are you sure?"), defaultAnswer), expected);
    }
}

TEST_F(ShownDialog, InputModesGiveBackTheEnteredValue)
{
    struct Case {
        const char* name;
        std::function<void(TVekDialogFrm&)> setUp;
        std::function<void(TVekDialogFrm&)> userActs;
        QVariant expected;
    };
    const Case cases[] = {
        {"input",
         [](TVekDialogFrm& d) {
             d.setInputMode();
             d.setValue(42);
         },
         [](TVekDialogFrm& d) {
             EXPECT_EQ(d.EditBox->text(), QStringLiteral("42"));
             d.EditBox->selectAll();
             QTest::keyClicks(d.EditBox, QStringLiteral("new name"));
         },
         QStringLiteral("new name")},
        {"password",
         [](TVekDialogFrm& d) {
             d.setPasswordMode();
             d.setValue(QStringLiteral("secret"));
         },
         [](TVekDialogFrm& d) { EXPECT_EQ(d.focusWidget(), d.EditBox); }, QStringLiteral("secret")},
        {"memo",
         [](TVekDialogFrm& d) {
             d.setMemoMode();
             d.setValue(QStringLiteral("one\r\ntwo\r\n"));
         },
         [](TVekDialogFrm& d) {
             EXPECT_EQ(d.Memo->lines(), (QStringList{"one", "two"}));
             d.Memo->appendPlainText(QStringLiteral("three"));
             // Enter would start a new line in the memo.
             click(&d, "OK");
         },
         QStringLiteral("one\r\ntwo\r\nthree\r\n")},
        {"check",
         [](TVekDialogFrm& d) {
             d.setCheckMode();
             d.setCheckCaption(QStringLiteral("Remember me"));
             d.setValue(QStringLiteral("false"));
         },
         [](TVekDialogFrm& d) {
             EXPECT_EQ(d.ChkBox->pos(), d.EditBox->pos());
             QTest::keyClick(d.ChkBox, Qt::Key_Space);
         },
         true},
        {"combo with a new value",
         [](TVekDialogFrm& d) {
             d.setComboMode();
             d.setValues({"A", "C"});
             d.setValue(QStringLiteral("B"));
         },
         [](TVekDialogFrm& d) {
             EXPECT_EQ(d.ComboBox->items(), (QStringList{"A", "C", "B"}));
             EXPECT_EQ(d.ComboBox->currentIndex(), 2);
         },
         QStringLiteral("B")},
        {"combo without value",
         [](TVekDialogFrm& d) {
             d.setComboMode();
             d.setValues({"A", "C"});
             d.setValue(QString());
         },
         [](TVekDialogFrm& d) {
             EXPECT_EQ(d.ComboBox->currentIndex(), 0);
             EXPECT_FALSE(d.ComboBox->isEditable());
         },
         QStringLiteral("A")},
        {"date",
         [](TVekDialogFrm& d) {
             d.setDateMode();
             d.setValue(QStringLiteral("240229"));
         },
         [](TVekDialogFrm& d) {
             EXPECT_EQ(d.DateTimePicker->date(), QDate(2024, 2, 29));
             d.DateTimePicker->setDate(QDate(2024, 3, 1));
         },
         QStringLiteral("240301")},
        {"date without value",
         [](TVekDialogFrm& d) {
             d.setDateMode();
             d.setValue(QString());
         },
         [](TVekDialogFrm& d) { EXPECT_EQ(d.DateTimePicker->date(), QDate::currentDate()); },
         datetoyymmdd(QDate::currentDate())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TVekDialogFrm dialog;
        dialog.setMessageStr(QStringLiteral("Enter a value"));
        dialog.setTitleStr(QStringLiteral("Value"));
        dialog.setDlgType(mtConfirmation);
        dialog.setButtons({mbOK, mbCancel});
        dialog.setDefaultBtn(mbOK);
        c.setUp(dialog);
        whenvisible<TVekDialogFrm>([&](TVekDialogFrm* shown) {
            c.userActs(*shown);
            // Enter confirms: the focus stays in the input control.
            if (shown->isVisible())
                QTest::keyClick(shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_Return);
        });
        EXPECT_EQ(showoverform(&calling, &dialog), unsigned(platform::mrOk));
        EXPECT_EQ(dialog.value(), c.expected);
    }
}

TEST_F(ShownDialog, AnInputControlBelowALongMessageStaysAboveTheButtons)
{
    TVekDialogFrm dialog;
    dialog.setMessageStr(QStringLiteral("Three lines\nof\nmessage"));
    dialog.setButtons({mbOK});
    dialog.setMemoMode();
    whenvisible<TVekDialogFrm>([](TVekDialogFrm* shown) {
        EXPECT_LE(shown->Memo->y() + shown->Memo->height(), shown->BottomPnl->y());
        click(shown, "OK");
    });
    EXPECT_EQ(showoverform(&calling, &dialog), unsigned(platform::mrOk));
}

}  // namespace
