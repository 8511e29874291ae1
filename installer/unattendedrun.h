#pragma once
// The unattended run (INSTALL=name): the one program installed from the
// server folder into the local folder, told to a reporter, and the exit
// status for the run's caller. The same road with a window and without one.
#include "installer/runreporter.h"
#include "installer/runrequest.h"
#include "lib/signedplacement.h"

#include <QString>

namespace installer {

inline const QString kMissingServerFolder = QStringLiteral("Missing server folder ");
// Below the warning when no server folder was named at all (a first start from
// the desktop menu): where to name one. %1 is the start ini file's full path.
inline const QString kNameServerFolderHint
    = QStringLiteral("\n\nName the server folder in %1, section [Config], key Folder (Folder=/path/to/server/),"
                     " or start the program with SERVER=folder.");
inline const QString kStartIniSection = QStringLiteral("Config");
inline const QString kStartIniFolderKey = QStringLiteral("Folder");

// Exit statuses of a run that needs no window.
inline constexpr int kRunDoneStatus = 0;
inline constexpr int kRunFailedStatus = 1;

// The server folder of the run: SERVER as written, else the start ini file's
// Folder with a separator added (empty when there is none).
QString settledserverfolder(const RunRequest& run);
// The local folder of the run: LOCAL as written, else the program's own folder.
QString settledlocalfolder(const RunRequest& run);

// Joins the refusal of a program signed earlier than the installed one.
inline const QString kAllowOlderHint = QStringLiteral("; ALLOWOLDER=1 installs it");

// What the run asks of signatures: the public keys the start ini file names
// (section [Signatures], PublicKey1, PublicKey2, …) and ALLOWOLDER. Without
// a key named, nothing is checked.
vek::SignaturePolicy settledsignaturepolicy(const RunRequest& run);

// The warning for a server folder that is missing: the folder, and where to
// name one when none was named at all.
QString missingserverfoldermessage(const QString& serverFolder);

// Installs the program of an unattended run. A missing server folder is
// warned about and nothing is installed; otherwise the install is reported
// as it goes, a failure warned about, an installed program told as
// "Installed NAME into LOCAL", and then the reporter hears runfinished().
// Returns 0 when the program was installed, else 1.
int rununattended(const RunRequest& run, RunReporter& reporter);

}  // namespace installer
