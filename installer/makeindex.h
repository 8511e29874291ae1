#pragma once
// --make-index: the index of a server folder that a web server is to publish
// (lib/serverindex.h), written into the folder.
#include <QString>

namespace installer {

inline const QString kIndexNameRefused
    = QStringLiteral("The file %1 cannot stand in the index (%2): rename it or move it out of the folder.");
inline const QString kIndexWritten = QStringLiteral("Wrote %1 (%2 program files).");

struct IndexMade {
    // 0, or the failing step's code (winerr::InvalidName for a name that
    // cannot stand in the index).
    int code = 0;
    // What was done, or what failed and why, naming the file.
    QString message;
};

// Lists every regular file of `folder` whose name does not begin with "."
// (but the index and its signature file) with its size, time and SHA-256,
// and writes the list as the folder's index, replacing an old one in one
// step (a failure leaves the old one whole). A file whose name cannot stand
// in the index (vek::indexnameproblem) refuses the whole index, so that no
// program goes missing from it unnoticed; nothing is written then.
IndexMade makeserverindex(const QString& folder);

}  // namespace installer
