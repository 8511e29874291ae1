#pragma once
// The step an install and a restore share: a copy of a file is made beside a
// program of the local folder and put in its place, the program's chain of
// backup generations shifting by one. All or nothing.
#include "installer/installprogram.h"
#include "lib/copyplacement.h"

#include <QString>

#include <functional>

namespace installer {

// Where the copy comes from, for the message of a failure.
struct CopySource {
    QString path;
    // What the path is to the user: "the server file", "the backup".
    QString what;
};

// Puts a new version of the program `name` in place in `localFolder` by
// `place` (given the program's full path and where to tell a failure), and
// turns its code into the outcome: a folder or a pipe standing under the
// program's name is refused before `place` is called; on failure the outcome's
// message is `errorPrefix` + code, then a line with the program, the file or
// folder that failed and the cause in words (the failure's own cause where it
// gives one), `source` named as what could not be read or was refused.
using Placement = std::function<int(const QString& current, vek::PlacementFailure* failure)>;
InstallOutcome placeprogram(const CopySource& source, const QString& localFolder, const QString& name,
                            const QString& errorPrefix, const Placement& place);

// Copies `source` to the program's work file (installworkname) and places it
// as `localFolder` + `name` with its generations (vek::copywithgenerations,
// under the folder's lock). On failure the local folder is as it was, and
// the outcome's message is `errorPrefix` + code, then a line with the program,
// the file or folder that failed and the cause in words. `check` looks at
// the finished copy before it is placed (its signature), and takes the copy's
// chunks as they are written when it has a sink; a refusal is told as
// "refused" + the source + the check's words, and nothing is placed.
InstallOutcome placecopy(const CopySource& source, const QString& localFolder, const QString& name,
                         const QString& errorPrefix, const InstallProgress& progress = {},
                         const vek::StreamedCheck& check = {});

}  // namespace installer
