#include "installer/unattendedrun.h"

#include "installer/installrun.h"
#include "installer/webroad.h"
#include "lib/folders.h"
#include "lib/serverindex.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "trust/keys.h"

namespace installer {

QString settledserverfolder(const RunRequest& run)
{
    // A folder given by SERVER is taken as written; the start ini file's gets
    // its separator.
    if (!run.serverFolder.isEmpty())
        return run.serverFolder;
    const platform::IniFile ini(vek::allusersfolder() + vek::kStartIniName);
    return vek::addslash(ini.readString(kStartIniSection, kStartIniFolderKey));
}

QString settledlocalfolder(const RunRequest& run)
{
    return run.localFolder.isEmpty() ? vek::exefolder() : run.localFolder;
}

vek::SignaturePolicy settledsignaturepolicy(const RunRequest& run)
{
    vek::SignaturePolicy policy;
    policy.keys = trust::readKeys(vek::allusersfolder() + vek::kStartIniName);
    policy.allowOlder = run.allowOlder;
    policy.allowOlderHint = kAllowOlderHint;
    return policy;
}

QString missingserverfoldermessage(const QString& serverFolder)
{
    // A folder that was named but is not there says all; none named at all
    // (a first start from the desktop menu) needs to say where to name one.
    const QString hint
        = serverFolder.isEmpty() ? kNameServerFolderHint.arg(vek::allusersfolder() + vek::kStartIniName) : QString();
    return kMissingServerFolder + serverFolder + hint;
}

int rununattended(const RunRequest& run, RunReporter& reporter)
{
    const QString server = settledserverfolder(run);
    const vek::SignaturePolicy signatures = settledsignaturepolicy(run);
    vek::WebIndex index;
    if (vek::iswebfolder(server)) {
        // An index the server does not give is the web's missing server folder.
        if (const vek::IndexFetch fetch = webroad().fetchindex(server, index, signatures.keys); fetch.code != 0) {
            reporter.warn(fetch.message);
            return kRunFailedStatus;
        }
    } else if (server.isEmpty() || !platform::isFolder(server)) {
        reporter.warn(missingserverfoldermessage(server));
        return kRunFailedStatus;
    }
    const QString local = settledlocalfolder(run);
    const QList<InstallOutcome> outcomes
        = installprograms(server, local, {run.programName}, &reporter, signatures, &index);
    for (const InstallOutcome& outcome : outcomes) {
        if (outcome.installed)
            reporter.tell(QStringLiteral("Installed %1 into %2").arg(outcome.name, local));
        else
            reporter.warn(outcome.message);
    }
    reporter.runfinished();
    return allinstalled(outcomes) ? kRunDoneStatus : kRunFailedStatus;
}

}  // namespace installer
