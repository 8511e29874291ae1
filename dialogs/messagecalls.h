#pragma once
// The calls through which every message, warning and question reaches the
// user: each builds the family's message dialog, shows it over a blocking
// overlay on the calling window, waits, frees it and returns the result code
// of the button that closed it. See answerseam.h for answering without a user.
#include "dialogs/dialogvocabulary.h"

#include <QChar>
#include <QString>

class QWidget;

namespace platform {
class TForm;
}

namespace vek {

// A warning with an OK button.
void warnmessage(const QString& message, const QString& title = {});
// A warning (with its title) or, with `warning` false, an information without
// title; OK is the only button. Shown over the active window when that is at
// least 150 x 150, else over the main form; with neither nothing is shown.
void showdlgmessage(const QString& message, bool warning, const QString& title);
// Any message: its kind, buttons and default button. Without an active
// window the family's dialog is shown on its own, without an overlay. `helpContext` is passed on
// to nothing and kept for the callers' sake.
int dlgmessage(const QString& message, TMsgDlgType kind, TMsgDlgButtons buttons, int helpContext,
               TMsgDlgBtn defaultButton);
// A Yes/No question: "1" for Yes, "0" for anything else. The default answer
// "0" makes No the default button, any other character Yes.
QChar askyesno(const QString& message, QChar defaultAnswer);
// Shows `subForm` over an overlay on `callingForm` and returns its result;
// 0 without showing anything when there is no calling form, 2 when showing
// fails.
unsigned showoverform(QWidget* callingForm, platform::TForm* subForm);

// Routes the core library's warnings through warnmessage. The program and
// the test programs call it at start.
void installmessagecalls();

}  // namespace vek
