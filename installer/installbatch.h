#pragma once
// One run of "Install Highlighted": installs the programs one by one and
// remembers what became of each, so that the window, the unattended run and
// its exit status read one account of the run.
#include "installer/installprogram.h"

#include <QList>
#include <QSet>
#include <QString>

class InstallBatch {
public:
    InstallBatch(const QString& serverFolder, const QString& localFolder);

    // Installs `name`, unless this run installed it already: a second row of
    // the same program counts as done without copying it again, so that it
    // cannot push an identical copy into the chain and drop a real
    // generation off its end.
    InstallOutcome install(const QString& name, const InstallProgress& progress = {});

    const QList<InstallOutcome>& outcomes() const { return outcomes_; }
    int installedCount() const;
    int failedCount() const;

private:
    QString server_;
    QString local_;
    // Names asked for and names installed, as installed in this run.
    QSet<QString> done_;
    QList<InstallOutcome> outcomes_;
};
