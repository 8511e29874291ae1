// The options a Linux user tries first, beside the family's NAME=value run
// parameters, which must keep working exactly as before.
#include "installer/commandline.h"
#include "installer/runrequest.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

using installer::answerCommandLineOptions;
using installer::CommandLineAnswer;

namespace {

const QString kProgram = "/usr/bin/TessarineInstaller";

enum class Answer { Run, Usage, Version, Refused };

Answer answerOf(const QStringList& args)
{
    const std::optional<CommandLineAnswer> answer = answerCommandLineOptions(QStringList{kProgram} + args);
    if (!answer)
        return Answer::Run;
    if (answer->status == installer::kUsageErrorStatus && answer->out.isEmpty() && !answer->err.isEmpty())
        return Answer::Refused;
    EXPECT_EQ(answer->status, 0);
    EXPECT_TRUE(answer->err.isEmpty());
    if (answer->out == installer::usageText())
        return Answer::Usage;
    if (answer->out == installer::versionText() + "\n")
        return Answer::Version;
    ADD_FAILURE() << "an answer of neither kind: " << answer->out.toStdString();
    return Answer::Run;
}

}  // namespace

TEST(CommandLine, OptionsAreAnsweredAndRunParametersGoAhead)
{
    struct Case {
        QStringList args;
        Answer answer;
    };
    const Case cases[] = {
        {{}, Answer::Run},
        {{"SERVER=/srv/p/", "LOCAL=/opt/p/", "INSTALL=Stock.exe"}, Answer::Run},
        // A value may begin with dashes; only a whole argument is an option.
        {{"INSTALL=--help", "SERVER=-h"}, Answer::Run},
        {{"LANGUAGES"}, Answer::Run},
        {{"-"}, Answer::Run},
        {{"--help"}, Answer::Usage},
        {{"-h"}, Answer::Usage},
        {{"SERVER=/srv/p/", "--help"}, Answer::Usage},
        {{"--version"}, Answer::Version},
        {{"INSTALL=Stock.exe", "--version"}, Answer::Version},
        {{"--bogus"}, Answer::Refused},
        {{"-x"}, Answer::Refused},
        {{"--HELP"}, Answer::Refused},
        {{"--help=1"}, Answer::Refused},
        {{"--Version"}, Answer::Refused},
        // The first option decides, as a GNU command reads its options in turn.
        {{"--help", "--bogus"}, Answer::Usage},
        {{"--bogus", "--help"}, Answer::Refused},
        {{"--version", "--help"}, Answer::Version},
        // "--" ends the options: what follows is left to the run parameters.
        {{"--", "--help"}, Answer::Run},
        {{"--", "-x", "INSTALL=Stock.exe"}, Answer::Run},
        {{"--bogus", "--"}, Answer::Refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(answerOf(c.args), c.answer) << c.args.join(' ').toStdString();
}

TEST(CommandLine, TheRefusalNamesTheOptionAndWhereHelpIs)
{
    const std::optional<CommandLineAnswer> answer = answerCommandLineOptions({kProgram, "SERVER=/srv/", "--bogus"});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 2);
    EXPECT_EQ(
        answer->err,
        "TessarineInstaller: unknown option '--bogus'\nTry 'TessarineInstaller --help' for the run parameters.\n");
}

TEST(CommandLine, RunParametersReadAsBeforeBesideTheEndOfOptions)
{
    // "--" is no parameter of the family: it changes nothing of what the run asks.
    const installer::RunRequest run
        = installer::parseRunRequest({kProgram, "--", "SERVER=/srv/p/", "install=Stock.exe", "LOCAL=/opt/p/"});
    EXPECT_EQ(run.serverFolder, "/srv/p/");
    EXPECT_EQ(run.localFolder, "/opt/p/");
    EXPECT_EQ(run.programName, "Stock.exe");
    EXPECT_EQ(run.kind(), installer::RunKind::Unattended);
}

TEST(CommandLine, TheUsageListsEveryRunParameterOnALineOfItsOwn)
{
    const QString usage = installer::usageText();
    const QStringList lines = usage.split('\n');
    for (const char* name : {"SERVER=", "LOCAL=", "INSTALL=", "FILESDIRCONTENTS=", "FILESDIRNAME=", "RESTORE=",
                             "GENERATION=", "LOCALFOLDER=", "LANGUAGE=", "LANGUAGES=", "DEBUG"}) {
        const auto starts = [&](const QString& line) { return line.trimmed().startsWith(name); };
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), starts), 1) << name;
    }
    // Each line is the parameter and its meaning, the meanings lined up in one column.
    qsizetype column = -1;
    for (const installer::ParameterHelp& p : installer::runParameterHelp()) {
        const QString start = "  " + QString(p.syntax) + " ";
        const auto line
            = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(start); });
        ASSERT_NE(line, lines.end()) << start.toStdString();
        const qsizetype meaning = line->indexOf(QString(p.meaning));
        EXPECT_GT(meaning, start.size() - 1) << line->toStdString();
        if (column < 0)
            column = meaning;
        EXPECT_EQ(meaning, column) << line->toStdString();
    }
    for (const QString& line : lines)
        EXPECT_LE(line.size(), 80) << "too wide for a terminal: " << line.toStdString();
    EXPECT_TRUE(usage.startsWith("Usage: TessarineInstaller [NAME=value]...\n"));
}

TEST(CommandLine, TheManualPageDescribesEveryRunParameterTheUsageLists)
{
    QFile page(QStringLiteral(TESSARINE_PACKAGING_DIR "/TessarineInstaller.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const installer::ParameterHelp& p : installer::runParameterHelp()) {
        const QString name = QString(p.syntax).section('=', 0, 0);
        // Each one is a tagged paragraph of its own: ".TP" then the name in
        // bold, with its "=" when it takes a value.
        EXPECT_TRUE(QRegularExpression("\\.TP\\n\\.BI? " + name + "(=|\\n)").match(text).hasMatch())
            << name.toStdString();
    }
}

TEST(CommandLine, TheUsageAndTheManualPageDescribeEveryOption)
{
    const QStringList lines = installer::usageText().split('\n');
    QFile page(QStringLiteral(TESSARINE_PACKAGING_DIR "/TessarineInstaller.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const installer::ParameterHelp& p : installer::optionHelp()) {
        const QString start = "  " + QString(p.syntax) + " ";
        EXPECT_EQ(
            std::count_if(lines.begin(), lines.end(),
                          [&](const QString& l) { return l.startsWith(start) && l.contains(QString(p.meaning)); }),
            1)
            << start.toStdString();
        // Its long name in a tagged paragraph of its own, each "-" as "\-".
        const QString longName = QString(p.syntax).section(", ", -1).section(' ', 0, 0);
        const QString manName = QRegularExpression::escape(QString(longName).replace("-", "\\-"));
        EXPECT_TRUE(QRegularExpression("\\.TP\\n\\.B[IR]? [^\\n]*" + manName + "\\b").match(text).hasMatch())
            << longName.toStdString();
    }
}
