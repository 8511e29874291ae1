#include "installer/restorerun.h"

#include "installer/restoregeneration.h"
#include "installer/restorerequest.h"
#include "installer/unattendedrun.h"

namespace installer {

int runrestore(const RunRequest& run, RunReporter& reporter)
{
    if (const platform::Result<void> checked = checkrestorerequest(run.restoreName, run.generationText);
        !checked.ok()) {
        reporter.warn(checked.message());
        return kRunFailedStatus;
    }
    const QString local = settledlocalfolder(run);
    const InstallOutcome outcome = restoregeneration(local, run.restoreName, run.generation);
    if (!outcome.installed) {
        reporter.warn(outcome.message);
        return kRunFailedStatus;
    }
    reporter.tell(QStringLiteral("Restored generation %1 of %2 in %3").arg(run.generation).arg(outcome.name, local));
    return kRunDoneStatus;
}

}  // namespace installer
