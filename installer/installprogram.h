#pragma once
// Installing one program file from the server folder into the local folder,
// keeping the chain of backup generations beside it.
#include "lib/signedplacement.h"
#include "platform/fileapi.h"

#include <QString>

namespace installer {

inline const QString kInstallErrorPrefix = QStringLiteral("Install error code:");
inline const QString kCouldNotInstallPrefix = QStringLiteral("Could not install ");
// Shown while another run holds the local folder's lock, followed by the folder.
inline const QString kWaitingForFolderPrefix = QStringLiteral("waiting for another install into ");

// Called between the chunks of the copy with the bytes copied so far and the
// server file's size; the window lets its pending events run here.
using InstallProgress = platform::CopyProgress;

// What became of one program (of an install or a restore); a caller that
// drops one says why.
struct [[nodiscard]] InstallOutcome {
    bool installed = false;
    // The program as it stands in the local folder: the name asked for, or the
    // server's spelling when only a name in other letter case was there.
    QString name;
    // The failing step's code; 0 when installed or refused by name.
    int code = 0;
    // Empty when installed. Otherwise its first line is "Install error code:"
    // + code (or "Could not install " + name), and a second line names the
    // program, the file or folder that failed and the cause in words.
    QString message;
};

// Installs `name`. A failed install leaves the local folder exactly as it was.
// When the server holds no file of exactly that name but exactly one whose
// name differs only in letter case, that one is installed under its own name.
// With keys named in `signatures`, the copy is placed only when it is signed
// by one of them as that program (the server's NAME.minisig beside it) and
// is not older than the signed version installed (vek::hashingsignaturecheck:
// the digest is made as the copy is written).
// A server folder given by web address ("http://", "https://") is read through
// its index (installer/webinstall.h), which stands in for the signatures.
InstallOutcome installprogram(const QString& serverFolder, const QString& localFolder, const QString& name,
                              const InstallProgress& progress = {}, const vek::SignaturePolicy& signatures = {});

// The name under which `name` stands in the server folder: `name` itself when
// it is there, else the one server file whose name differs from it only in
// letter case (names typed in scripts made on systems that ignore case), else
// `name` unchanged.
QString serverprogramname(const QString& serverFolder, const QString& name);

// A program name is a plain file name: no "/" in it, not "." or "..".
bool isplainprogramname(const QString& name);

// The work file an install copies into before putting it in place: hidden, of
// bounded length whatever the program's name, and the same for every install
// of the program, so that the next install removes one left by a killed run.
QString installworkname(const QString& localFolder, const QString& name);

}  // namespace installer
