#include "installer/runrequest.h"

#include "lib/params.h"

namespace installer {
namespace {

QString valueOf(const QStringList& args, const QString& name)
{
    QString value;
    (void)vek::paramof(args, name, value);  // absent and empty mean the same here
    return value;
}

}  // namespace

RunKind RunRequest::kind() const
{
    if (!filesDirContents.isEmpty())
        return RunKind::Recording;
    if (!restoreName.isEmpty())
        return RunKind::Restoring;
    if (!programName.isEmpty())
        return RunKind::Unattended;
    return RunKind::Interactive;
}

RunRequest parseRunRequest(const QStringList& args)
{
    RunRequest run;
    run.serverFolder = valueOf(args, QStringLiteral("SERVER"));
    run.localFolder = valueOf(args, QStringLiteral("LOCAL"));
    run.programName = valueOf(args, QStringLiteral("INSTALL"));
    run.filesDirContents = valueOf(args, QStringLiteral("FILESDIRCONTENTS"));
    run.filesDirName = valueOf(args, QStringLiteral("FILESDIRNAME"));
    run.restoreName = valueOf(args, QStringLiteral("RESTORE"));
    run.generationText = valueOf(args, QStringLiteral("GENERATION"));
    run.generation = run.generationText.toInt();
    run.language = valueOf(args, QStringLiteral("LANGUAGE"));
    run.languagesAllowed = valueOf(args, QStringLiteral("LANGUAGES")) == QLatin1String("1");
    if (QString base; vek::paramof(args, QStringLiteral("LOCALFOLDER"), base))
        run.dataFolderBase = base;
    QString ignored;
    run.debug = vek::paramof(args, QStringLiteral("DEBUG"), ignored);
    bool number = false;
    const int seconds = valueOf(args, QStringLiteral("LOCKWAIT")).toInt(&number);
    run.lockWaitSeconds = number && seconds >= 0 ? seconds : -1;
    run.allowOlder = valueOf(args, QStringLiteral("ALLOWOLDER")) == QLatin1String("1");
    return run;
}

}  // namespace installer
