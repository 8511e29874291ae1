#pragma once
// The catalogue of a server folder published on a web server: the programs
// its index lists, as the catalogue of a folder on a disk shows them.
#include "lib/fileops.h"
#include "lib/serverindex.h"

#include <QString>
#include <QStringList>

namespace installer {

// The names of `index` that match `patterns` (joined by ";", as findfiles
// takes them, letter case ignored), pattern after pattern, each in the
// index's order, with their date texts in step as a folder's listing writes
// them (no sizes).
vek::FolderFiles findwebprograms(const vek::ServerIndex& index, const QString& patterns);

}  // namespace installer
