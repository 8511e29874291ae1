#include "installer/installrun.h"

#include <QSet>

#include <algorithm>

namespace installer {

QList<InstallOutcome> installprograms(const QString& serverFolder, const QString& localFolder, const QStringList& names,
                                      InstallObserver* observer, const vek::SignaturePolicy& signatures)
{
    QList<InstallOutcome> outcomes;
    // The programs installed in this run, by their names on the server.
    QSet<QString> done;
    const int count = int(names.size());
    for (int index = 0; index < count; ++index) {
        const QString& name = names[index];
        if (observer)
            observer->starting(index, count, name);
        InstallOutcome outcome;
        if (const QString onServer = serverprogramname(serverFolder, name); done.contains(onServer)) {
            outcome.installed = true;
            outcome.name = onServer;
        } else {
            InstallProgress progress;
            if (observer)
                progress = [&](qint64 copied, qint64 total) { observer->copying(index, count, copied, total); };
            outcome = installprogram(serverFolder, localFolder, name, progress, signatures);
            if (outcome.installed)
                done.insert(outcome.name);
        }
        if (observer)
            observer->finished(index, count, outcome);
        outcomes.append(outcome);
    }
    return outcomes;
}

bool allinstalled(const QList<InstallOutcome>& outcomes)
{
    return !outcomes.isEmpty()
        && std::all_of(outcomes.cbegin(), outcomes.cend(), [](const InstallOutcome& o) { return o.installed; });
}

}  // namespace installer
