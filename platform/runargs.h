#pragma once
// The process's run parameters: item 0 is the full path of the program file,
// items 1.. the parameters as the command line gave them.
#include <QStringList>
#include <optional>

namespace platform {

QStringList runArguments();
// Replaces the run parameters (tests, and a program body that adds defaults).
void setRunArguments(const QStringList& arguments);
// The process's own command line counts again.
void clearRunArguments();
// The replacement in force, if any.
std::optional<QStringList> runArgumentsOverride();

}  // namespace platform
