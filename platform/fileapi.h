#pragma once
// File system primitives with the family's result codes (0 = success, otherwise
// a code of platform/winerror.h). Everything the library does to the disk goes
// through here, so one errno mapping and one fault-injection seam cover it all.
#include "platform/filestamp.h"
#include "platform/pathbytes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <sys/types.h>

namespace platform {

// The native separator that folder paths end with on this platform.
inline constexpr QChar kPathSep = u'/';

enum class OpenMode {
    Read,  // existing file, read only
    Write,  // created anew; an existing file is emptied
    Append,  // writes go to the end; created when missing
};

// An open file descriptor with result codes. Closes itself when destroyed.
class RawFile {
public:
    RawFile() = default;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;
    ~RawFile();

    [[nodiscard]] int open(const QString& path, OpenMode mode);
    // Opens a new work file for writing as createWorkFile makes it
    // (workfile.h): exclusively, never through a link, locked while open.
    [[nodiscard]] int openWorkFile(const QString& path, mode_t mode = 0666);
    // Reads up to `max` bytes; `got` is 0 at the end of the file.
    [[nodiscard]] int read(char* buffer, qint64 max, qint64* got);
    // Writes all `size` bytes or fails.
    [[nodiscard]] int write(const char* data, qint64 size);
    // Flushes what was written to the disk.
    [[nodiscard]] int sync();
    [[nodiscard]] int close();
    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }

private:
    int fd_ = -1;
    QString path_;
};

// Called after each chunk with the bytes copied so far and the source's size.
using CopyProgress = std::function<void(qint64 copied, qint64 total)>;

// Copies exactly the bytes the source had when it was opened; a source that
// changes size or modification time meanwhile fails the copy with 1006. The
// copy takes the source's permission bits without set-ID or sticky bits and
// under the umask, and its modification time, where the system allows: failing
// to set them leaves a complete copy in place and still succeeds. An existing
// destination is overwritten unless `failIfExists` (then 183); a destination
// that is the source itself under another name (links followed) is left alone
// and succeeds. A destination left incomplete by a failure is removed. With
// `progress`, the bytes go in chunks of 8 MiB with a call on the caller's
// thread after each.
[[nodiscard]] int copyFile(const QString& source, const QString& destination, bool failIfExists = false,
                           const CopyProgress& progress = {});
// Called on the caller's thread once every byte of a copy is written and
// closed to other writers of ours, while the copy is flushed to the disk on
// another thread: 0, or a code that fails the copy.
using WhileFlushing = std::function<int()>;

// What a copy hands on as it writes, for work done on its bytes beside it (a
// digest of the copy) in place of reading the copy back afterwards.
struct ChunkSink {
    // Each chunk of the copy, in order, once it is written, on a thread of the
    // copy's own: the copy reads and writes the next chunks meanwhile, a few
    // ahead at most. Empty: the copy hands on nothing and starts no thread.
    std::function<void(const char* bytes, qint64 size)> take;
    // Once the copy is complete and every chunk taken, before the copy's
    // `whileFlushing`: the copy's stamp, from its open file after the copy's
    // last change to it. Not called when the copy fails, nor when its stamp
    // cannot be had, nor when the memory for the copy's buffers cannot be
    // (the copy is then the kernel's, and `take` gets nothing).
    std::function<void(const FileStamp& written)> finished;
};

// Copies `source` into the new work file `work` (made by createWorkFile:
// exclusively, never through a link, a leftover of ours removed first) and
// flushes it to the disk, as copyFile copies. Only a regular file is copied:
// anything else fails at once (a folder with 5, a pipe, socket or device
// with winerr::BadFileType). A failed copy leaves no work file.
// `whileFlushing`, when given, runs while the flush does (a check that reads
// the copy back need not wait for the disk); its code fails the copy, after
// a failed flush's own. With `sink.take`, the bytes pass through a few
// buffers of ours (no copy by the kernel alone) and each chunk goes to the
// sink once it is written; the chunks are written straight to the disk, past
// the page cache, where the file system takes that (else the disk is asked to
// start on each at once), so that the flush at the end has little left.
[[nodiscard]] int copyToWorkFile(const QString& source, const QString& work, const CopyProgress& progress = {},
                                 const WhileFlushing& whileFlushing = {}, const ChunkSink& sink = {});
// Whether both names lead to one file (same device and inode, links followed);
// false when either is missing.
bool sameFile(const QString& a, const QString& b);
// Renames or moves within one file system; never replaces an existing target (183).
[[nodiscard]] int moveFile(const QString& from, const QString& to);
// Renames over an existing target in one atomic step.
[[nodiscard]] int replaceFile(const QString& from, const QString& to);
// Gives an existing file a second name (a hard link); 183 when `newName` exists,
// 50 when the file system keeps no second names.
[[nodiscard]] int linkFile(const QString& existing, const QString& newName);
[[nodiscard]] int deleteFile(const QString& path);
// Creates the folder and every missing parent; 0 when it exists afterwards.
[[nodiscard]] int createFolders(const QString& path);
// Flushes a written file to the disk; used before renaming it over a precious file.
[[nodiscard]] int syncFile(const QString& path);
// Flushes a folder's entries (names made, renamed or removed) to the disk.
[[nodiscard]] int syncFolder(const QString& folder);
// Which file a name stands for (the name itself, not a link's target): two
// names with equal ids are one file. Empty (valid() false) when missing.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
    bool valid() const { return inode != 0; }
    friend bool operator==(const FileId&, const FileId&) = default;
};
FileId fileId(const QString& path);
// What `path` is when it is not a regular file ("a named pipe", "a device",
// "a folder", ...); empty for a regular file or a name that is not there.
QString nonRegularKind(const QString& path);
// The longest file name, in bytes, that the file system of `folder` takes
// (255 where it does not say).
qint64 longestName(const QString& folder);
// Reads the whole file into `bytes`; 0 or the code of the failed open or read.
[[nodiscard]] int readWholeFile(const QString& path, QByteArray& bytes);
// The size of the blocks the readers below take at a time.
inline constexpr qint64 kReadBlockSize = qint64(1) << 20;
// Appends the next block of an open file to `bytes`; `got` is how many bytes
// came (0 at the end). 0 or the code of the failed read.
[[nodiscard]] int appendBlock(RawFile& file, QByteArray& bytes, qint64& got);
// Appends what is left of an open file to `bytes`; 0 or the code of the failed read.
[[nodiscard]] int readRemaining(RawFile& file, QByteArray& bytes);

bool isFile(const QString& path);
bool isFolder(const QString& path);
bool pathExists(const QString& path);

struct FileEntry {
    QString name;  // without folder
    qint64 size = 0;  // bytes
    qint64 modified = 0;  // last write, seconds since the epoch (UTC)
};

// Case-insensitive wildcard match with "*" and "?", as the family's users
// expect. Every other character stands for itself ("[", "]" and "\" too), and
// a pattern without wildcards is a name whose letters, all of them and not
// just a-z, match in either case.
bool wildcardMatch(const QString& pattern, const QString& name);

// One pattern of wildcardMatch made ready once, for matching many names.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);
    // Whether the name, given as its bytes (encodePath), matches.
    bool matches(const QByteArray& nameBytes) const;

private:
    struct Matcher;
    std::shared_ptr<const Matcher> matcher_;
};

// Calls `visit` for every regular file of `folder` whose name matches `pattern`,
// in directory order. Folders and hidden files (names beginning with ".") are
// skipped. Returns 0, or the code of a folder that could not be read.
[[nodiscard]] int listFiles(const QString& folder, const QString& pattern,
                            const std::function<void(const FileEntry&)>& visit);

// listFiles for several patterns in one reading of the folder: `visit` gets the
// files matching the first pattern with index 0, then those matching the second,
// and so on, each pattern's in directory order. A file matching two patterns
// comes once for each.
[[nodiscard]] int listFiles(const QString& folder, const QStringList& patterns,
                            const std::function<void(int, const FileEntry&)>& visit);

// Looks one name up as listFiles would: wildcards allowed, first match counts,
// letter case ignored. 0 when found, 2 when not, or the code of a folder that
// could not be read.
[[nodiscard]] int findFirstFile(const QString& path, FileEntry* entry);

}  // namespace platform
