#pragma once
// Installing a program from a server folder published on a web server: the
// file the folder's index lists is downloaded beside its target, checked
// against the index, and placed with its generations as a copy from a folder
// on a disk is.
#include "installer/installprogram.h"
#include "lib/signedplacement.h"
#include "web/serverindexfetch.h"

#include <QString>

namespace installer {

// Installs `asked` from the web server folder `serverUrl`, whose index is
// `index`, into `localFolder`: downloaded through the transfer component into
// a hidden work file beside its target (a download cut short before is taken
// up where it stopped), its size and SHA-256 checked against the index, then
// placed with its generations under the folder's lock. A program the index
// does not list is not asked for (code 2). The new file keeps the mode of
// the file it replaces, or is 0755 (under the umask) when it is new. On
// failure the local folder is as it was, but for the work file a cut
// download keeps for the next attempt; the message is as installprogram's,
// the server file named by its address. With keys named in `signatures` the
// index was verified when it was fetched, its SHA-256 of the program stands
// in for the program's signature, and the program is refused when the index
// was signed earlier than the signed version installed (vek::verifiedcheck).
InstallOutcome installfromweb(const QString& serverUrl, const vek::WebIndex& index, const QString& localFolder,
                              const QString& asked, const InstallProgress& progress = {},
                              const vek::SignaturePolicy& signatures = {});

}  // namespace installer
