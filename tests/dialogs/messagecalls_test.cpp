// The message calls answered without a user: queued answers, the record of
// what was put to the user, and unattended runs without a display.
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "dialogs/vekdialogu.h"
#include "dialogtesting.h"
#include "lib/messagehook.h"

#include <gtest/gtest.h>

namespace {

using namespace vek;

TEST(MessageCalls, WarningsAndInformationsAreRecordedWithTheirKindTitleAndOkButton)
{
    struct Case {
        std::function<void()> call;
        TMsgDlgType kind;
        QString title;
    };
    const Case cases[] = {
        {[] { warnmessage(QStringLiteral("Missing server folder /srv/x"), QStringLiteral("Setup")); }, mtWarning,
         QStringLiteral("Setup")},
        {[] { showdlgmessage(QStringLiteral("Missing server folder /srv/x"), true, QStringLiteral("Setup")); },
         mtWarning, QStringLiteral("Setup")},
        // An information never shows a title, whatever the caller passes.
        {[] { showdlgmessage(QStringLiteral("Missing server folder /srv/x"), false, QStringLiteral("Setup")); },
         mtInformation, QString()},
    };
    for (const Case& c : cases) {
        ScriptedAnswers script{platform::mrOk};
        c.call();
        ASSERT_EQ(script.shown().size(), 1);
        const ShownMessage shown = script.shown().first();
        EXPECT_EQ(shown.kind, c.kind);
        EXPECT_EQ(shown.title, c.title);
        EXPECT_EQ(shown.message, QStringLiteral("Missing server folder /srv/x"));
        EXPECT_EQ(shown.buttons, (TMsgDlgButtons{mbOK}));
        EXPECT_EQ(shown.defaultButton, mbOK);
        EXPECT_EQ(queuedanswers(), 0);
    }
}

TEST(MessageCalls, DlgmessageReturnsTheQueuedAnswersInOrder)
{
    ScriptedAnswers script{platform::mrRetry, platform::mrAbort};
    const TMsgDlgButtons buttons{mbAbort, mbRetry, mbIgnore};
    EXPECT_EQ(dlgmessage(QStringLiteral("Copy failed"), mtError, buttons, 0, mbRetry), platform::mrRetry);
    EXPECT_EQ(dlgmessage(QStringLiteral("Copy failed again"), mtError, buttons, 0, mbRetry), platform::mrAbort);
    ASSERT_EQ(script.shown().size(), 2);
    EXPECT_EQ(script.shown()[1].message, QStringLiteral("Copy failed again"));
    EXPECT_EQ(script.shown()[1].kind, mtError);
    EXPECT_EQ(script.shown()[1].buttons, buttons);
}

TEST(MessageCalls, AskyesnoAnswersOneOnlyForYesAndPicksItsDefaultFromTheAnswerGiven)
{
    struct Case {
        QChar defaultAnswer;
        int answer;
        QChar expected;
        TMsgDlgBtn expectedDefault;
    };
    const Case cases[] = {
        {QLatin1Char('0'), platform::mrYes, QLatin1Char('1'), mbNo},
        {QLatin1Char('0'), platform::mrNo, QLatin1Char('0'), mbNo},
        {QLatin1Char('0'), platform::mrCancel, QLatin1Char('0'), mbNo},
        {QLatin1Char('1'), platform::mrYes, QLatin1Char('1'), mbYes},
        {QLatin1Char('x'), platform::mrNo, QLatin1Char('0'), mbYes},
    };
    for (const Case& c : cases) {
        ScriptedAnswers script{c.answer};
        EXPECT_EQ(askyesno(QStringLiteral("Are you sure?"), c.defaultAnswer), c.expected);
        ASSERT_EQ(script.shown().size(), 1);
        EXPECT_EQ(script.shown().first().kind, mtConfirmation);
        EXPECT_EQ(script.shown().first().buttons, (TMsgDlgButtons{mbYes, mbNo}));
        EXPECT_EQ(script.shown().first().defaultButton, c.expectedDefault);
    }
}

TEST(MessageCalls, ShowoverformWithoutCallingFormShowsNothingAndReturnsZero)
{
    ScriptedAnswers script{platform::mrOk};
    TVekDialogFrm dialog;
    dialog.setMessageStr(QStringLiteral("never seen"));
    dialog.setButtons({mbOK});
    EXPECT_EQ(showoverform(nullptr, &dialog), 0u);
    EXPECT_TRUE(script.shown().isEmpty());
    EXPECT_EQ(queuedanswers(), 1);
}

TEST(MessageCalls, CoreLibraryWarningsGoThroughTheWarningDialog)
{
    ScriptedAnswers script{platform::mrOk};
    libwarning(QStringLiteral("Could not install a.exe"));
    ASSERT_EQ(script.shown().size(), 1);
    EXPECT_EQ(script.shown().first().kind, mtWarning);
    EXPECT_EQ(script.shown().first().message, QStringLiteral("Could not install a.exe"));
}

TEST(MessageCalls, AButtonValueOutsideTheTwelveIsIgnoredNotThrown)
{
    const auto notAButton = static_cast<TMsgDlgBtn>(40);
    EXPECT_FALSE(isbuttonkind(notAButton));
    EXPECT_TRUE(buttonname(notAButton).isEmpty());
    EXPECT_EQ(buttonresult(notAButton), platform::mrNone);

    TVekDialogFrm dialog;
    dialog.setButtons({mbYes, mbNo});
    dialog.setDefaultBtn(mbNo);
    dialog.setDefaultBtn(notAButton);
    EXPECT_EQ(dialog.defaultBtn(), mbNo);

    ScriptedAnswers script{platform::mrYes};
    EXPECT_EQ(dlgmessage(QStringLiteral("Go on?"), mtConfirmation, {mbYes, mbNo}, 0, notAButton), platform::mrYes);
}

// A message with no window to stand over (a restoring run opens none) is the
// family's dialog all the same, on its own, answered by its buttons.
TEST(MessageCalls, WithoutAnyWindowTheFamilysDialogStandsAlone)
{
    UnattendedScope attended{false};
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    QString shownText;
    dialogtesting::whenvisible<TVekDialogFrm>([&](TVekDialogFrm* dialog) {
        shownText = dialog->messageStr();
        dialogtesting::click(dialog, "No");
    });
    EXPECT_EQ(dlgmessage(QStringLiteral("GENERATION=abc is not a number"), mtWarning, {mbYes, mbNo}, 0, mbYes),
              platform::mrNo);
    EXPECT_EQ(shownText, QStringLiteral("GENERATION=abc is not a number"));
}

TEST(UnattendedRun, EachMessageGoesToStderrAndTakesItsDefaultButton)
{
    // The test programs run offscreen and unattended, as a headless install does.
    ASSERT_TRUE(unattended());
    ScriptedAnswers script;
    struct Case {
        TMsgDlgButtons buttons;
        TMsgDlgBtn defaultButton;
        int expected;
    };
    const Case cases[] = {
        {{mbYes, mbNo, mbCancel}, mbNo, platform::mrNo},
        // Help cannot close a dialog, and a default that is not there is no
        // answer: the first closing button answers.
        {{mbOK, mbHelp}, mbHelp, platform::mrOk},
        {{mbAbort, mbIgnore}, mbYes, platform::mrAbort},
        // Nothing can close it: as if closed by the window system.
        {{mbHelp}, mbHelp, platform::mrCancel},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        const int result = dlgmessage(QStringLiteral("Install error code:5"), mtError, c.buttons, 0, c.defaultButton);
        const std::string written = testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.expected);
        EXPECT_NE(written.find("Install error code:5"), std::string::npos) << written;
    }
    EXPECT_EQ(script.shown().size(), 4);
}

}  // namespace
