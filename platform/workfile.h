#pragma once
// The hidden work files that the program writes beside a file before it
// takes that file's place (installs, restores, downloads, saves). In a folder
// that other users may write, a work file is a way in: a link planted under
// its name would make a run as root write wherever the link points. So every
// work file is made anew, exclusively and never through a link, its name has
// a fixed length whatever the target's, and its writer holds a lock on it
// while it lives, so that a later run can tell a killed run's leftover from a
// file still being written.
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace platform {

// The endings of the work files, one for each kind of work.
inline const QString kPlacementWorkSuffix = QStringLiteral(".installing");
inline const QString kPlacementJournalSuffix = QStringLiteral(".placing");
inline const QString kOverflowSuffix = QStringLiteral(".X11");
inline const QString kSaveWorkSuffix = QStringLiteral(".saving");
inline const QString kDownloadWorkSuffix = QStringLiteral(".download");
// A program's download from a web server, kept when it is cut short so that
// the next install goes on from where it stopped: not swept as a leftover.
inline const QString kResumableDownloadSuffix = QStringLiteral(".resumable");

// "." + 16 hex digits of a digest of the file name of `path` + `suffix`,
// beside `path`. The same file always gets the same name, so a run finds the
// work file that a killed run of its own kind left.
QString hiddenWorkName(const QString& path, const QString& suffix);

// The same with 8 random hex digits between digest and suffix: a name of its
// own for each writer, for work that two processes may do at once.
QString uniqueWorkName(const QString& path, const QString& suffix);

// Creates `path` for writing with `mode` (under the umask) and locks it for as
// long as `fd` stays open. The name must be free or hold a leftover of ours (a
// regular file with one name, owned by this user, that no live process holds):
// such a leftover is removed first. A link, a folder, another user's file or a
// file still held is not touched: 183. 0 or the failing step's code; on
// success `fd` is the open descriptor, which the caller closes.
[[nodiscard]] int createWorkFile(const QString& path, mode_t mode, int* fd);

// Opens for reading and writing a work file of ours that a failed or killed
// run left under `path`, to go on with its work, and locks it for as long as
// `fd` stays open: only a leftover of ours as createWorkFile describes it (a
// regular file with one name, owned by this user, that no live process
// holds), opened without following a link. 2 when nothing stands under the
// name, 183 when something else does; on success `fd` is the open
// descriptor, which the caller closes.
[[nodiscard]] int openOwnWorkFile(const QString& path, int* fd);

// Makes `path` with createWorkFile, writes `bytes` into it and flushes it to
// the disk. 0 or the failing step's code; nothing is left on failure.
[[nodiscard]] int writeWorkFile(const QString& path, const QByteArray& bytes, mode_t mode);

// Whether `path` itself (not a link's target) is a regular file with one
// name, owned by whoever runs now: the only kind of file a run reads or
// removes as a work file of its own.
bool isOwnWorkFile(const QString& path);

// Removes `path` when it is a leftover of ours as createWorkFile describes;
// anything else stays. True when nothing stands under the name afterwards.
bool removeLeftover(const QString& path);

// Whether `name` (a file name without folder) has the shape of the names
// above with `suffix`: "." + 16 hex digits, optionally "." + 8 more, + suffix.
bool isWorkName(const QString& name, const QString& suffix);

}  // namespace platform

namespace platform {

// The names in `folder` that begin with "." and hold only ASCII: where the
// work files of killed runs are looked for.
QStringList hiddenNamesIn(const QString& folder);

}  // namespace platform
