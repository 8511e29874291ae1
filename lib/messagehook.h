#pragma once
// The core library reaches the user through the family's message calls, which
// live above it (dialogs/). The dialogs library installs its warning call here
// when it starts; until then warnings go to the log output.
#include <QString>
#include <functional>

namespace vek {

using WarningCall = std::function<void(const QString& message, const QString& title)>;

void setwarningcall(WarningCall call);
WarningCall warningcall();
// Shows a warning with an OK button through the installed call.
void libwarning(const QString& message, const QString& title = {});

// The line a run that nobody watches writes to the error output for a message
// of the kind `kind` ("Warning") and the button that answered it ("OK"):
// "Warning: title - message [answered OK]" and a line end; without a title
// "Warning: message [answered OK]".
QString unattendedmessageline(const QString& kind, const QString& title, const QString& message, const QString& answer);

}  // namespace vek
