#pragma once
// Where the message calls meet whoever answers them. Normally that is the
// user, through the dialog over its overlay. Tests queue the answers instead
// and read back what was put to the user; an unattended run without a
// display writes each message to stderr and takes its default button.
#include "dialogs/dialogvocabulary.h"

#include <QList>
#include <QString>
#include <initializer_list>
#include <optional>

namespace vek {

class TVekDialogFrm;

struct ShownMessage {
    TMsgDlgType kind = mtWarning;
    QString title;
    QString message;
    TMsgDlgButtons buttons;
    std::optional<TMsgDlgBtn> defaultButton;
};

// The next dialogs are answered with these result codes, first in first out,
// without being shown. With the queue empty the real dialog is shown.
void queueanswer(int resultCode);
void clearanswers();
int queuedanswers();

// The messages put to the user (shown, queued-answered or written to
// stderr), oldest first; the most recent 100 are kept.
QList<ShownMessage> shownmessages();
void clearshownmessages();

// Set by the program for a run that nobody watches. Without a display such a
// run does not wait for clicks (see isheadless in platform/headless.h).
void setunattended(bool unattended);
bool unattended();

// The button that answers for a user who is not there: the default button
// when it is in the dialog and closes it, else the first button that closes
// it; none for a dialog that no button closes.
std::optional<TMsgDlgBtn> answeringbutton(TMsgDlgButtons buttons, std::optional<TMsgDlgBtn> defaultButton);

// The line a run that nobody watches writes to stderr for a message and the
// button that answered it (none: the window system closed it):
// "Warning: title - message [answered OK]".
QString unattendedline(const ShownMessage& message, std::optional<TMsgDlgBtn> answer);

// Called for every dialog before it is shown: records it and, when the queue
// holds an answer or the run is unattended without a display, answers it.
std::optional<int> answerwithoutuser(const TVekDialogFrm& dialog);
// Records a dialog that is shown to the user.
void recordshown(const TVekDialogFrm& dialog);

// A test's script of answers: queues them and clears the queue and the
// record when it goes out of scope.
class ScriptedAnswers {
public:
    ScriptedAnswers(std::initializer_list<int> resultCodes = {});
    ~ScriptedAnswers();
    ScriptedAnswers(const ScriptedAnswers&) = delete;
    ScriptedAnswers& operator=(const ScriptedAnswers&) = delete;
    QList<ShownMessage> shown() const { return shownmessages(); }
};

// Whether the run counts as unattended, for one test: put back when it goes.
class UnattendedScope {
public:
    explicit UnattendedScope(bool value) : saved_(unattended()) { setunattended(value); }
    ~UnattendedScope() { setunattended(saved_); }
    UnattendedScope(const UnattendedScope&) = delete;
    UnattendedScope& operator=(const UnattendedScope&) = delete;

private:
    bool saved_;
};

}  // namespace vek
