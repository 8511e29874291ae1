#pragma once
// How the runs reach a server folder published on a web server: its index
// fetched, a program downloaded and placed. The program body that carries the
// transfer component gives the runs that road (setwebroad, with
// installer/httpwebroad.h); the small body that runs installs from a folder
// on a disk carries none and hands a web folder's run to the whole program.
#include "installer/installprogram.h"
#include "web/serverindexfetch.h"

#include <QString>

namespace installer {

class WebRoad {
public:
    virtual ~WebRoad() = default;
    // As vek::fetchserverindex.
    virtual vek::IndexFetch fetchindex(const QString& folderUrl, vek::WebIndex& index,
                                       const trust::TrustedKeys& keys) const = 0;
    // As installer::installfromweb (installer/webinstall.h).
    virtual InstallOutcome install(const QString& serverUrl, const vek::WebIndex& index, const QString& localFolder,
                                   const QString& asked, const InstallProgress& progress,
                                   const vek::SignaturePolicy& signatures) const = 0;
};

// The road the runs take from now on; null takes it away.
void setwebroad(const WebRoad* road);
// The road given, or, without one, a road whose every fetch fails with
// winerr::NotSupported and says so (no install is tried without an index).
const WebRoad& webroad();

// What the index lists of `asked`: the name itself, else the one listed name
// that differs from it in letter case alone; null when neither.
const vek::ServerIndexEntry* webprogramentry(const vek::WebIndex& index, const QString& asked);

// The outcome of `name` when the run could not have the server's index.
InstallOutcome indexfailure(const QString& name, const vek::IndexFetch& fetch);

}  // namespace installer
