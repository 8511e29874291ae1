#include "dialogs/answerseam.h"

#include "dialogs/vekdialogu.h"
#include "lib/messagehook.h"
#include "platform/headless.h"

#include <QQueue>
#include <cstdio>

namespace vek {
namespace {

constexpr int keptMessages = 100;

struct SeamState {
    QQueue<int> answers;
    QList<ShownMessage> shown;
    bool unattended = false;
};

SeamState& state()
{
    static SeamState seam;
    return seam;
}

void record(const TVekDialogFrm& dialog)
{
    QList<ShownMessage>& shown = state().shown;
    shown.append(
        ShownMessage{dialog.dlgType(), dialog.titleStr(), dialog.messageStr(), dialog.buttons(), dialog.defaultBtn()});
    if (shown.size() > keptMessages)
        shown.removeFirst();
}

QString plaincaption(TMsgDlgBtn button)
{
    return buttoncaption(button).remove(QLatin1Char('&'));
}

void writetostderr(const TVekDialogFrm& dialog, std::optional<TMsgDlgBtn> answer)
{
    const ShownMessage message{dialog.dlgType(), dialog.titleStr(), dialog.messageStr(), dialog.buttons(),
                               dialog.defaultBtn()};
    std::fputs(unattendedline(message, answer).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

}  // namespace

QString unattendedline(const ShownMessage& message, std::optional<TMsgDlgBtn> answer)
{
    return unattendedmessageline(QLatin1String(messagekind(message.kind).name), message.title, message.message,
                                 answer ? plaincaption(*answer) : QStringLiteral("Cancel"));
}

void queueanswer(int resultCode)
{
    state().answers.enqueue(resultCode);
}

void clearanswers()
{
    state().answers.clear();
}

int queuedanswers()
{
    return static_cast<int>(state().answers.size());
}

QList<ShownMessage> shownmessages()
{
    return state().shown;
}

void clearshownmessages()
{
    state().shown.clear();
}

void setunattended(bool on)
{
    state().unattended = on;
}

bool unattended()
{
    return state().unattended;
}

std::optional<TMsgDlgBtn> answeringbutton(TMsgDlgButtons buttons, std::optional<TMsgDlgBtn> defaultButton)
{
    const auto closes = [&](TMsgDlgBtn button) { return buttons.contains(button) && buttonresult(button) != 0; };
    if (defaultButton && closes(*defaultButton))
        return defaultButton;
    for (int i = 0; i < buttonkindcount; ++i) {
        if (closes(static_cast<TMsgDlgBtn>(i)))
            return static_cast<TMsgDlgBtn>(i);
    }
    return std::nullopt;
}

std::optional<int> answerwithoutuser(const TVekDialogFrm& dialog)
{
    if (!state().answers.isEmpty()) {
        record(dialog);
        return state().answers.dequeue();
    }
    if (state().unattended && platform::isheadless()) {
        record(dialog);
        const std::optional<TMsgDlgBtn> answer = answeringbutton(dialog.buttons(), dialog.defaultBtn());
        writetostderr(dialog, answer);
        // Nobody could close a dialog without a closing button: it counts
        // as closed by the window system.
        return answer ? buttonresult(*answer) : int(platform::mrCancel);
    }
    return std::nullopt;
}

void recordshown(const TVekDialogFrm& dialog)
{
    record(dialog);
}

ScriptedAnswers::ScriptedAnswers(std::initializer_list<int> resultCodes)
{
    clearanswers();
    clearshownmessages();
    for (int code : resultCodes)
        queueanswer(code);
}

ScriptedAnswers::~ScriptedAnswers()
{
    clearanswers();
    clearshownmessages();
}

}  // namespace vek
