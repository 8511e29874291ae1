#pragma once
// The step an install and a restore share: a copy of a file is made beside a
// program of the local folder and put in its place, the program's chain of
// backup generations shifting by one. All or nothing.
#include "installer/installprogram.h"
#include "lib/copyplacement.h"

#include <QString>

namespace installer {

// Where the copy comes from, for the message of a failure.
struct CopySource {
    QString path;
    // What the path is to the user: "the server file", "the backup".
    QString what;
};

// Copies `source` to the program's work file (installworkname) and places it
// as `localFolder` + `name` with its generations (vek::copywithgenerations,
// under the folder's lock). On failure the local folder is as it was, and
// the outcome's message is `errorPrefix` + code, then a line with the program,
// the file or folder that failed and the cause in words. `check` looks at
// the finished copy before it is placed (its signature); a refusal is told as
// "refused" + the source + the check's words, and nothing is placed.
InstallOutcome placecopy(const CopySource& source, const QString& localFolder, const QString& name,
                         const QString& errorPrefix, const InstallProgress& progress = {},
                         const vek::WorkFileCheck& check = {});

}  // namespace installer
