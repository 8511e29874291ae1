#pragma once
// The process's run parameters: item 0 is the full path of the program file,
// items 1.. the parameters as the command line gave them.
#include <QByteArray>
#include <QStringList>
#include <optional>

namespace platform {

// The parameters are decoded as file names are (pathbytes.h), so that one
// that names a file with bytes that are not UTF-8 names that file.
QStringList runArguments();
// One parameter of the command line, decoded as runArguments decodes them.
QString decodeArgument(const QByteArray& bytes);
// Replaces the run parameters (tests, and a program body that adds defaults).
void setRunArguments(const QStringList& arguments);
// The process's own command line counts again.
void clearRunArguments();
// The replacement in force, if any.
std::optional<QStringList> runArgumentsOverride();

}  // namespace platform
