#pragma once
// The process-wide state of the language files: the screen alias list and the
// language in use. Both live for the whole run and are changed on the
// user-interface thread only. (The switch that offers the language editor,
// languagesallowed, is kept by the form menu that reads it: forms/formmenu.h.)
#include "platform/result.h"

#include <QString>
#include <QStringList>

class QObject;

namespace platform {
class TForm;
}

namespace vek {

// The screen alias list: sorted "component name=screen name" entries, empty
// at start. A screen keeps the screen name under which its file was first
// opened. Only grows while the program runs.
QStringList langformnames();
// The screen name for `formname`: its entry's value when `formname` is a
// name in the list (letter case ignored); otherwise `formname` itself, and
// then the component name of `c` (when given, named and not yet listed)
// joins the list with `formname`.
QString langscreenname(const QString& formname, const QObject* c);

// The language in use; empty (the default language) at start.
QString currentlanguage();
// Sets the language in use. A code that checklangcode refuses fails as it
// says, and leaves the language as it was.
[[nodiscard]] platform::Result<void> setcurrentlanguage(const QString& code);

// Applies the file of the language in use, in the language folder of the
// shared files folder, to `form` as the screen named by its component name.
// Nothing happens, and the result is true, while the language is the empty
// default: the screen shows its own texts. Otherwise the result is that of
// the apply (false when the walk ended early or the file was unreadable).
[[nodiscard]] bool applycurrentlanguage(platform::TForm* form);

// Puts the alias list back as a test guard found it (tests, and nothing else).
void setlangformnames(const QStringList& names);

}  // namespace vek
