#include "familychecks.h"

#include "familytargets.h"
#include "platform/runargs.h"

namespace fuzzchecks {

QString familyHarnessName(FamilyHarness harness)
{
    switch (harness) {
    case FamilyHarness::LangFiles:
        return QStringLiteral("lang_files");
    case FamilyHarness::ServiceReplies:
        return QStringLiteral("service_replies");
    case FamilyHarness::WebSettings:
        return QStringLiteral("web_settings");
    case FamilyHarness::WindowState:
        return QStringLiteral("window_state");
    case FamilyHarness::CommandLine:
        return QStringLiteral("command_line");
    }
    return {};
}

QList<FamilyHarness> allFamilyHarnesses()
{
    return {FamilyHarness::LangFiles, FamilyHarness::ServiceReplies, FamilyHarness::WebSettings,
            FamilyHarness::WindowState, FamilyHarness::CommandLine};
}

QString runFamilyCheck(FamilyHarness harness, const QByteArray& input)
{
    const QStringList savedArgs = platform::runArguments();
    Reader in(input);
    QString result;
    switch (harness) {
    case FamilyHarness::LangFiles:
        result = checkLangFiles(in);
        break;
    case FamilyHarness::ServiceReplies:
        result = checkServiceReplies(in);
        break;
    case FamilyHarness::WebSettings:
        result = checkWebSettings(in);
        break;
    case FamilyHarness::WindowState:
        result = checkWindowState(in);
        break;
    case FamilyHarness::CommandLine:
        result = checkCommandLine(in);
        break;
    }
    platform::setRunArguments(savedArgs);
    return result;
}

}  // namespace fuzzchecks
