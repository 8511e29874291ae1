#pragma once
// The options a Linux user expects of a command (--help, --version) beside the
// family's NAME=value run parameters. Answered by the program body before the
// application object exists, so that they work without a display.
#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>

namespace installer {

// The name the program is installed and called under.
inline constexpr QLatin1String kProgramName{"TessarineInstaller"};

// One run parameter as the usage lists it: how it is written and what it does.
struct ParameterHelp {
    QLatin1String syntax;
    QLatin1String meaning;
};

// Every run parameter the program reads, in the order the usage lists them.
std::span<const ParameterHelp> runParameterHelp();

// Every option the program answers, as the usage lists them ("--make-index
// FOLDER"); the manual page has a paragraph for each.
std::span<const ParameterHelp> optionHelp();

// The version the build was made as (the project's version in CMakeLists.txt,
// and only there): "0.1". The window's version label is made from it too.
QString versionnumber();
// "TessarineInstaller" and the version the build was made as.
QString versionText();
// The usage: how the program is called, each run parameter on one line, and
// the exit statuses.
QString usageText();

// What an option asks instead of a run: the texts for the standard output and
// the error output, and the exit status.
struct CommandLineAnswer {
    int status = 0;
    QString out;
    QString err;
};

// Exit status of a command line the program refuses (an unknown option).
inline constexpr int kUsageErrorStatus = 2;
// Exit status of --make-index when the index could not be written.
inline constexpr int kMakeIndexFailedStatus = 1;

// How --make-index FOLDER is answered.
using MakeIndexCall = std::function<CommandLineAnswer(const QString& folder)>;

// The whole program's answer to --make-index FOLDER: the folder's index
// written (installer/makeindex.h) and said so with status 0, or why not on the
// error output with status 1 (2 without a folder). It is made with the
// index maker (installer/makeindex.cpp, in installer_web); the small program
// body hands the option to the whole program instead.
CommandLineAnswer makeindexanswer(const QString& folder);

// Looks at the arguments (item 0 the program file) for options: an argument
// beginning with "-" (not "-" alone). The first option decides: --help or -h
// gives the usage with status 0, --version the version with status 0,
// --make-index FOLDER is answered by `makeindex`, any other gives the refusal
// on the error output with status 2. An argument "--" ends the options; what
// follows it is taken as run parameters. Empty when there is no option: the
// run goes ahead on its NAME=value parameters.
std::optional<CommandLineAnswer> answerCommandLineOptions(const QStringList& args,
                                                          const MakeIndexCall& makeindex = makeindexanswer);

}  // namespace installer
