#pragma once
// One install run: the programs of "Install Highlighted", or the one program
// of an unattended run, installed in order. The window shows it as it goes;
// the unattended run prints it and takes its exit status from it.
#include "installer/installprogram.h"
#include "web/serverindexfetch.h"

#include <QList>
#include <QStringList>

namespace installer {

// Hears of an install run as it goes. `index` counts the programs of the run
// from 0; `count` is their number.
class InstallObserver {
public:
    virtual ~InstallObserver() = default;
    virtual void starting(int index, int count, const QString& name) = 0;
    // While the program's server file is copied.
    virtual void copying(int index, int count, qint64 copied, qint64 total) = 0;
    virtual void finished(int index, int count, const InstallOutcome& outcome) = 0;
};

// Installs the programs in order and returns what became of each, in the same
// order. A program the run has installed already counts as installed without
// being copied again: a second copy would push an identical file into the
// chain and drop a real generation off its end. `signatures` as installprogram.
// For a server folder on a web server the index is fetched once for the run
// (its signature checked with the keys of `signatures`), into `webIndex` when
// given (asked for only if it changed since it was fetched there), and a
// program of a run that could not have it fails with the index's message.
QList<InstallOutcome> installprograms(const QString& serverFolder, const QString& localFolder, const QStringList& names,
                                      InstallObserver* observer = nullptr, const vek::SignaturePolicy& signatures = {},
                                      vek::WebIndex* webIndex = nullptr);

// True when there was at least one program and every one was installed.
bool allinstalled(const QList<InstallOutcome>& outcomes);

}  // namespace installer
