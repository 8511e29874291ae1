#include "installer/commandline.h"

#include <algorithm>
#include <array>

namespace installer {
namespace {

// The README's parameter table and the manual page say the same at length.
constexpr std::array kParameters{
    ParameterHelp{QLatin1String("SERVER=folder"),
                  QLatin1String("the server folder (else Folder in TessarineStart.ini)")},
    ParameterHelp{QLatin1String("LOCAL=folder"), QLatin1String("the folder to install into (else the program's own)")},
    ParameterHelp{QLatin1String("INSTALL=name"), QLatin1String("installs that one program unattended and exits")},
    ParameterHelp{QLatin1String("FILESDIRCONTENTS=folder"),
                  QLatin1String("only records the folder in FILESDIRNAME and exits")},
    ParameterHelp{QLatin1String("FILESDIRNAME=file"), QLatin1String("the file a FILESDIRCONTENTS run writes")},
    ParameterHelp{QLatin1String("RESTORE=name"), QLatin1String("puts a backup of the program in LOCAL back")},
    ParameterHelp{QLatin1String("GENERATION=n"), QLatin1String("the backup RESTORE puts back: 1 (.X01) to 10 (.X10)")},
    ParameterHelp{QLatin1String("LOCKWAIT=seconds"), QLatin1String("seconds to wait for another install into LOCAL")},
    ParameterHelp{QLatin1String("ALLOWOLDER=1"), QLatin1String("installs a program signed before the one installed")},
    ParameterHelp{QLatin1String("LOCALFOLDER=folder"),
                  QLatin1String("base of the data folder (else the documents folder)")},
    ParameterHelp{QLatin1String("LANGUAGE=code"), QLatin1String("shows the window in that language")},
    ParameterHelp{QLatin1String("LANGUAGES=1"), QLatin1String("the right-click menu offers the language editor")},
    ParameterHelp{QLatin1String("DEBUG"), QLatin1String("the program updater shows each service call and reply")},
};

constexpr std::array kOptions{
    ParameterHelp{QLatin1String("-h, --help"), QLatin1String("prints this usage and exits")},
    ParameterHelp{QLatin1String("--version"), QLatin1String("prints the version and exits")},
    ParameterHelp{QLatin1String("--make-index FOLDER"),
                  QLatin1String("writes the index a web server publishes with FOLDER")},
};

const QLatin1String kMakeIndexOption{"--make-index"};

CommandLineAnswer refusal(const QString& option)
{
    return {
        kUsageErrorStatus, QString(),
        QStringLiteral("%1: unknown option '%2'\nTry '%1 --help' for the run parameters.\n").arg(kProgramName, option)};
}

}  // namespace

std::span<const ParameterHelp> runParameterHelp()
{
    return kParameters;
}

std::span<const ParameterHelp> optionHelp()
{
    return kOptions;
}

QString versionnumber()
{
    return QStringLiteral(TESSARINE_VERSION);
}

QString versionText()
{
    return QString(kProgramName) + QLatin1Char(' ') + versionnumber();
}

QString usageText()
{
    qsizetype width = 0;
    for (const ParameterHelp& p : kParameters)
        width = std::max(width, p.syntax.size());
    for (const ParameterHelp& p : kOptions)
        width = std::max(width, p.syntax.size());

    QString text = QStringLiteral("Usage: %1 [NAME=value]...\n"
                                  "       %1 --help | --version | --make-index FOLDER\n"
                                  "\n"
                                  "Installs program files from a server folder into a local program folder, keeping\n"
                                  "ten backup generations (.X01 newest ... .X10 oldest) of every file it replaces.\n"
                                  "The server folder may be on a web server: SERVER=https://host/path/\n"
                                  "\n"
                                  "Run parameters (names in any letter case; the last one given wins):\n")
                       .arg(kProgramName);
    for (const ParameterHelp& p : kParameters)
        text += QStringLiteral("  %1  %2\n").arg(QString(p.syntax).leftJustified(width), p.meaning);
    text += QStringLiteral("\nOptions:\n");
    for (const ParameterHelp& p : kOptions)
        text += QStringLiteral("  %1  %2\n").arg(QString(p.syntax).leftJustified(width), p.meaning);
    text += QStringLiteral("\n"
                           "Exit status: 0 done; 1 the program named by INSTALL or RESTORE was not put in\n"
                           "place; 2 an unknown option, or a run that needs the window has no display.\n"
                           "\n"
                           "The manual page TessarineInstaller(1) tells more.\n");
    return text;
}

std::optional<CommandLineAnswer> answerCommandLineOptions(const QStringList& args, const MakeIndexCall& makeindex)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--"))
            return std::nullopt;
        if (arg.size() < 2 || !arg.startsWith(QLatin1Char('-')))
            continue;  // a NAME=value run parameter, or a bare NAME
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            return CommandLineAnswer{0, usageText(), QString()};
        if (arg == QLatin1String("--version"))
            return CommandLineAnswer{0, versionText() + QLatin1Char('\n'), QString()};
        if (arg == kMakeIndexOption)
            return makeindex(i + 1 < args.size() ? args.at(i + 1) : QString());
        return refusal(arg);
    }
    return std::nullopt;
}

}  // namespace installer
