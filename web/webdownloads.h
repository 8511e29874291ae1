#pragma once
// List files named by web address: the download call that loadlist and
// loadlines of the core library reach through their hook.
#include <QString>
#include <QStringList>

namespace vek {

inline const QString kDownloadsFolder = QStringLiteral("downloads");

// Fills `list` with the lines of the document at `address`: downloaded with a
// TVekPost into a temporary file of a name no other download uses (in the data
// folder's "downloads" folder), read as loadlist reads a file, and deleted.
// True when the download was whole and read; otherwise the list is empty.
[[nodiscard]] bool downloadweblist(QStringList& list, const QString& address);
// Installs downloadweblist as the core library's download call; the program
// body calls it once at start.
void installdownloadcall();

}  // namespace vek
