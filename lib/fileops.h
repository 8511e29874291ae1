#pragma once
// File operations that never raise: each returns 0 for success or the
// family's error code (2 not found, 3 path not found, 5 access denied, 32 in
// use, 183 already exists, ...), so callers go on and look at the disk.
#include "platform/result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vek {

// Says why a folder could not be listed: %1 the folder, %2 the cause in words.
inline const QString kUnreadableFolder = QStringLiteral("Cannot read the folder \"%1\": %2");

// The files of a folder in step: a name, and when asked its size and its
// date text (as datetext of listingtime writes it).
struct FolderFiles {
    QStringList names;
    QStringList sizes;
    QStringList dates;
};
// What a listing of the folder gives besides the names.
enum class ListingDetails { NamesOnly, Sizes, Dates, SizesAndDates };

// Lists the files of `folder` matching the patterns (joined by ";"), pattern
// after pattern, in directory order. Folders, hidden files and names
// beginning with "." are left out. No file found is no failure. A folder that
// cannot be read (the searched one, or one that a pattern names below it) is:
// its code (3 missing, 5 access denied, ...) and kUnreadableFolder, and none
// of the files found elsewhere.
[[nodiscard]] platform::Result<FolderFiles> listfolderfiles(const QString& folder, const QString& patterns,
                                                            ListingDetails details = ListingDetails::NamesOnly);

// listfolderfiles as the family calls it: names, and when given their sizes
// and date texts in step. A folder that cannot be read lists nothing, and the
// other folders the patterns name still list theirs. 0 when at least one file
// was found, 1 when none was, -1 when `names` is null: the code repeats what
// `names` tells, so a caller may leave it. A caller that must tell an
// unreadable folder from an empty one asks listfolderfiles.
int findfiles(const QString& folder, const QString& patterns, QStringList* names, QStringList* sizes = nullptr,
              QStringList* dates = nullptr);
// The single patterns of a ";"-joined list: an empty piece between two ";"
// stays, a trailing one is dropped, double quotes keep a ";" inside a pattern.
QStringList splitpatterns(const QString& patterns);

// Copies with the system copy (an existing destination is overwritten). 0 only
// when the copy itself succeeded; a destination that is the source itself
// under another name is left alone and counts as copied.
[[nodiscard]] int filecopy(const QString& source, const QString& destination);
// Copies the bytes; -1 when both names are the same, or lead to the same file
// (links followed), and then neither file is touched. Names that differ only in
// letter case are different files here. A destination left partly written by a
// failure stays.
[[nodiscard]] int blockcopy(const QString& source, const QString& destination);
// blockcopy, then removes the source only when the copy succeeded.
[[nodiscard]] int blockmove(const QString& source, const QString& destination);
// The name is trimmed of blanks and control characters first.
[[nodiscard]] int removefile(const QString& name);
// Never replaces an existing file (183); the old name is trimmed first.
[[nodiscard]] int renamefile(const QString& oldName, const QString& newName);

// The size and last-write time (local, to the even second) of the first
// matching file; 2 with size 0 and an invalid date when none matches.
[[nodiscard]] int fileinfo(const QString& name, qint64& size, QDateTime& date);
// fileinfo with the date as the family's date text (empty when not found).
[[nodiscard]] int filedatetext(const QString& name, qint64& size, QString& text);

// A file time as directory listings report it: local time, to the even second.
QDateTime listingtime(qint64 secondsSinceEpoch);
// The date text findfiles gives a file of that last-write time (seconds since
// the epoch), for listings that do not come from a folder on a disk.
class ListingDateText {
public:
    ListingDateText();
    QString operator()(qint64 secondsSinceEpoch) const;
};

}  // namespace vek
