// The command line: the "--" options and the run request of any argument
// list.
#include "familytargets.h"
#include "installer/commandline.h"
#include "installer/runrequest.h"
#include "lib/basictext.h"

using namespace installer;

namespace fuzzchecks {
namespace {

// Whether `value` is what some argument after the program gives `name`: the
// trimmed text after its first "=" (names without regard to case).
bool givenAs(const QStringList& args, const QString& name, const QString& value)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const qsizetype eq = args[i].indexOf(u'=');
        if (eq < 0)
            continue;
        if (args[i].left(eq).trimmed().compare(name, Qt::CaseInsensitive) != 0
            && args[i].left(eq).toUpper() != name.toUpper())
            continue;
        if (vek::trimtext(args[i].mid(eq + 1)) == value)
            return true;
    }
    return false;
}

// The first argument that is an option: begins with "-", is not "-" alone,
// and stands before any "--".
std::optional<QString> firstOption(const QStringList& args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--"))
            return std::nullopt;
        if (args[i].startsWith(u'-') && args[i] != QLatin1String("-"))
            return args[i];
    }
    return std::nullopt;
}

}  // namespace

// Any argument list is answered (help or version with status 0, a refusal
// with status 2) or read as a run request that names only the folders and
// programs the arguments give.
QString checkCommandLine(Reader& in)
{
    QStringList args{QStringLiteral("/usr/bin/TessarineInstaller")};
    const bool utf8 = in.flag();
    while (!in.atEnd()) {
        const QByteArray chunk = in.chunk();
        args.append(utf8 ? QString::fromUtf8(chunk) : QString::fromLatin1(chunk));
    }
    const std::optional<CommandLineAnswer> answer = answerCommandLineOptions(args);
    const std::optional<QString> option = firstOption(args);
    REQUIRE(answer.has_value() == option.has_value(), shown(args));
    if (answer) {
        const bool asked = *option == QLatin1String("--help") || *option == QLatin1String("-h")
            || *option == QLatin1String("--version");
        REQUIRE(answer->status == (asked ? 0 : kUsageErrorStatus), shown(args));
        REQUIRE(asked ? !answer->out.isEmpty() && answer->err.isEmpty()
                      : answer->out.isEmpty() && !answer->err.isEmpty(),
                shown(args));
        return {};
    }
    const RunRequest run = parseRunRequest(args);
    const struct {
        const char* name;
        const QString& value;
    } named[] = {{"SERVER", run.serverFolder},       {"LOCAL", run.localFolder},
                 {"INSTALL", run.programName},       {"FILESDIRCONTENTS", run.filesDirContents},
                 {"FILESDIRNAME", run.filesDirName}, {"RESTORE", run.restoreName},
                 {"GENERATION", run.generationText}, {"LANGUAGE", run.language}};
    for (const auto& item : named) {
        if (!item.value.isEmpty())
            REQUIRE(givenAs(args, QLatin1String(item.name), item.value),
                    QLatin1String(item.name) + u'=' + shown(item.value) + u' ' + shown(args));
    }
    REQUIRE(run.generation == run.generationText.toInt(), shown(run.generationText));
    REQUIRE(run.lockWaitSeconds >= -1, QString::number(run.lockWaitSeconds));
    return {};
}

}  // namespace fuzzchecks
