#pragma once
// Installing one program file from the server folder into the local folder,
// keeping the chain of backup generations beside it.
#include <QString>

inline const QString kInstallErrorPrefix = QStringLiteral("Install error code:");
inline const QString kCouldNotInstallPrefix = QStringLiteral("Could not install ");

// True when the program was installed. Otherwise `message` tells why:
// "Install error code:" + code, or "Could not install " + name. A failed install
// leaves the local folder exactly as it was.
bool installprogram(const QString& serverFolder, const QString& localFolder, const QString& name,
                    QString& message);

// A program name is a plain file name: no folder part, not "." or "..".
bool isplainprogramname(const QString& name);

// The work file an install copies into before putting it in place.
QString installworkname(const QString& localFolder, const QString& name);
