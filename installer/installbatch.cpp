#include "installer/installbatch.h"

#include <algorithm>

InstallBatch::InstallBatch(const QString& serverFolder, const QString& localFolder)
    : server_(serverFolder), local_(localFolder)
{
}

InstallOutcome InstallBatch::install(const QString& name, const InstallProgress& progress)
{
    InstallOutcome outcome;
    if (done_.contains(name)) {
        outcome.installed = true;
        outcome.name = name;
    } else {
        outcome = installprogram(server_, local_, name, progress);
        if (outcome.installed) {
            done_.insert(name);
            done_.insert(outcome.name);
        }
    }
    outcomes_.append(outcome);
    return outcome;
}

int InstallBatch::installedCount() const
{
    return int(std::count_if(outcomes_.cbegin(), outcomes_.cend(), [](const InstallOutcome& o) { return o.installed; }));
}

int InstallBatch::failedCount() const
{
    return int(outcomes_.size()) - installedCount();
}
