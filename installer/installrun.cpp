#include "installer/installrun.h"

#include "installer/webroad.h"

#include <QSet>

#include <algorithm>

namespace installer {

QList<InstallOutcome> installprograms(const QString& serverFolder, const QString& localFolder, const QStringList& names,
                                      InstallObserver* observer, const vek::SignaturePolicy& signatures,
                                      vek::WebIndex* webIndex)
{
    const bool web = vek::iswebfolder(serverFolder);
    vek::WebIndex runIndex;
    vek::WebIndex& serverIndex = webIndex ? *webIndex : runIndex;
    vek::IndexFetch fetch;
    if (web && !names.isEmpty())
        fetch = webroad().fetchindex(serverFolder, serverIndex, signatures.keys);
    // The name a program has on the server, which the run installs once.
    const auto onserver = [&](const QString& name) {
        if (!web)
            return serverprogramname(serverFolder, name);
        const vek::ServerIndexEntry* entry = fetch.code == 0 ? webprogramentry(serverIndex, name) : nullptr;
        return entry ? entry->name : name;
    };
    QList<InstallOutcome> outcomes;
    // The programs installed in this run, by their names on the server.
    QSet<QString> done;
    const int count = int(names.size());
    for (int index = 0; index < count; ++index) {
        const QString& name = names[index];
        if (observer)
            observer->starting(index, count, name);
        InstallOutcome outcome;
        if (const QString onServer = onserver(name); done.contains(onServer)) {
            outcome.installed = true;
            outcome.name = onServer;
        } else {
            InstallProgress progress;
            if (observer)
                progress = [&](qint64 copied, qint64 total) { observer->copying(index, count, copied, total); };
            if (!web)
                outcome = installprogram(serverFolder, localFolder, name, progress, signatures);
            else if (fetch.code != 0)
                outcome = indexfailure(name, fetch);
            else
                outcome = webroad().install(serverFolder, serverIndex, localFolder, name, progress, signatures);
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
