#pragma once
// Putting one of a program's backup generations back as the current file.
#include "installer/installprogram.h"

#include <QString>

namespace installer {

inline const QString kRestoreErrorPrefix = QStringLiteral("Restore error code:");

// Makes a copy of generation `generation` (1 to 10) of `name` in `localFolder`
// the current file, as an install would place a new version: the file that
// was current becomes .X01 and the chain shifts by one (the chosen generation
// with it, so it is kept too), the oldest dropping off as an install drops it.
// All or nothing: on failure the folder is as it was and the message's first
// line is "Restore error code:" + code (2 when that generation does not exist).
InstallOutcome restoregeneration(const QString& localFolder, const QString& name, int generation);

}  // namespace installer
