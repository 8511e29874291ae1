#include "platform/fileapi.h"

#include "platform/chunkhandoff.h"
#include "platform/faultinjection.h"
#include "platform/filemode.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace platform {
namespace {

int codeFor(int err, const QString& path = {})
{
    return winErrorFromErrno(err, path);
}

// Returns the errno to fail with when a fault is armed for `op`, else 0.
int injected(FaultOp op)
{
    return checkFault(op);
}

int openFd(const QString& path, int flags, mode_t mode, int* fd)
{
    if (const int err = injected(FaultOp::Open)) {
        *fd = -1;
        return codeFor(err, path);
    }
    do {
        *fd = ::open(encodePath(path).constData(), flags | O_CLOEXEC, mode);
    } while (*fd < 0 && errno == EINTR);
    return *fd < 0 ? codeFor(errno, path) : 0;
}

int closeFd(int fd)
{
    const int err = injected(FaultOp::Close);
    const int rc = ::close(fd);
    if (err)
        return codeFor(err);
    return rc < 0 && errno != EINTR ? codeFor(errno) : 0;
}

int readFd(int fd, char* buffer, qint64 max, qint64* got)
{
    *got = 0;
    if (const int err = injected(FaultOp::Read))
        return codeFor(err);
    ssize_t n;
    do {
        n = ::read(fd, buffer, static_cast<size_t>(max));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return codeFor(errno);
    *got = n;
    return 0;
}

// Writes all `size` bytes: 0 or the code of the failed write.
int writeAllFd(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return codeFor(errno);
        }
        data += n;
        size -= n;
    }
    return 0;
}

int writeFd(int fd, const char* data, qint64 size)
{
    if (const int err = injected(FaultOp::Write))
        return codeFor(err);
    return writeAllFd(fd, data, size);
}

// Windows-style wildcards through fnmatch, over the bytes of the names as the
// disk holds them: "[" and "\" are plain characters there, and "*.*" means
// every name, with or without a dot.
QByteArray fnmatchPattern(const QString& pattern)
{
    if (pattern == QLatin1String("*.*"))
        return QByteArrayLiteral("*");
    const QByteArray bytes = encodePath(pattern);
    QByteArray out;
    out.reserve(bytes.size() + 4);
    for (const char c : bytes) {
        if (c == '[' || c == ']' || c == '\\')
            out.append('\\');
        out.append(c);
    }
    return out;
}

bool hasWildcard(const QString& pattern)
{
    return pattern.contains(u'*') || pattern.contains(u'?');
}

bool isAscii(const char* name)
{
    for (; *name; ++name) {
        if (static_cast<unsigned char>(*name) >= 0x80)
            return false;
    }
    return true;
}

char foldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

bool equalIgnoringAsciiCase(const char* a, const QByteArray& b)
{
    qsizetype i = 0;
    for (; a[i] && i < b.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return a[i] == 0 && i == b.size();
}

// One wildcard pattern, ready to test directory entries. A name without "*" or
// "?" is compared as text with its letters case-folded, every letter and not
// just a-z, and every other character taken literally; the usual shape of a
// pattern, "*" and a plain ending such as "*.exe", is compared directly for
// names in ASCII; everything else goes to fnmatch.
class NameMatcher {
public:
    explicit NameMatcher(const QString& pattern) : literal_(!hasWildcard(pattern))
    {
        if (literal_) {
            name_ = pattern;
            if (std::all_of(pattern.begin(), pattern.end(), [](QChar c) { return c.unicode() < 0x80; }))
                asciiName_ = pattern.toLatin1();
            return;
        }
        matcher_ = fnmatchPattern(pattern);
        if (!pattern.startsWith(u'*'))
            return;
        for (qsizetype i = 1; i < pattern.size(); ++i) {
            const char16_t c = pattern[i].unicode();
            if (c >= 0x80 || c == u'*' || c == u'?' || c == u'[' || c == u']' || c == u'\\')
                return;
        }
        ending_ = pattern.mid(1).toLatin1();
        endingOnly_ = true;
    }

    bool matches(const char* name) const
    {
        if (literal_) {
            if (!asciiName_.isEmpty() && isAscii(name))
                return equalIgnoringAsciiCase(name, asciiName_);
            return QString::compare(decodePath(name), name_, Qt::CaseInsensitive) == 0;
        }
        if (endingOnly_ && isAscii(name)) {
            const size_t length = std::strlen(name);
            const size_t n = static_cast<size_t>(ending_.size());
            return length >= n && equalIgnoringAsciiCase(name + (length - n), ending_);
        }
        return ::fnmatch(matcher_.constData(), name, FNM_CASEFOLD) == 0;
    }

private:
    bool literal_;
    QString name_;  // a literal name
    QByteArray asciiName_;  // the same when it is all ASCII
    QByteArray matcher_;  // a pattern, for fnmatch
    bool endingOnly_ = false;
    QByteArray ending_;
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// Whether two status records describe one file.
bool sameIdentity(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// With a progress callback, a copy goes in chunks of this size, so the window
// can repaint between them.
constexpr qint64 kProgressChunk = qint64(8) << 20;
// The most that one kernel copy is asked to move: a chunk without a callback
// is the whole file, taken in requests of this size.
constexpr qint64 kKernelRequest = qint64(1) << 30;
constexpr size_t kBufferSize = size_t(1) << 20;

// Moves bytes from one descriptor to another at their current offsets: by the
// kernel where the file systems allow it, else through a buffer.
class ContentCopier {
public:
    ContentCopier(int in, int out) : in_(in), out_(out) {}

    // Copies `length` bytes, fewer only when the source ends first; `copied`
    // tells how many went over.
    int copy(qint64 length, qint64* copied)
    {
        *copied = 0;
        while (*copied < length) {
            const qint64 want = length - *copied;
            if (useKernel_) {
                if (const int err = injected(FaultOp::Write))
                    return codeFor(err);
                const ssize_t n = ::copy_file_range(in_, nullptr, out_, nullptr,
                                                    static_cast<size_t>(std::min(want, kKernelRequest)), 0);
                if (n > 0) {
                    *copied += n;
                    continue;
                }
                if (n == 0)
                    return 0;
                if (errno == EINTR)
                    continue;
                if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                    return codeFor(errno);
                useKernel_ = false;  // nothing was copied by the failed call
                buffer_.resize(kBufferSize);
            }
            qint64 got = 0;
            const qint64 ask = std::min(want, static_cast<qint64>(buffer_.size()));
            if (const int rc = readFd(in_, buffer_.data(), ask, &got))
                return rc;
            if (got == 0)
                return 0;
            if (const int rc = writeFd(out_, buffer_.data(), got))
                return rc;
            *copied += got;
        }
        return 0;
    }

private:
    int in_;
    int out_;
    bool useKernel_ = true;
    std::vector<char> buffer_;
};

// Copies the `size` bytes the source had when it was opened, in one piece or,
// for a caller that shows progress, chunk by chunk with a report after each.
int copyBytes(int in, int out, qint64 size, const CopyProgress& progress, qint64* copied)
{
    ContentCopier copier(in, out);
    const qint64 chunk = progress ? kProgressChunk : size;
    *copied = 0;
    while (*copied < size) {
        const qint64 want = std::min(chunk, size - *copied);
        qint64 got = 0;
        if (const int rc = copier.copy(want, &got))
            return rc;
        *copied += got;
        if (got < want)
            return 0;  // the source ended early; the caller sees the short count
        if (progress)
            progress(*copied, size);
    }
    return 0;
}

// A copy whose chunks go to a sink passes them through a few buffers of this
// size: large enough that a write straight to the disk keeps it busy and the
// hand-over costs nothing beside the bytes, few enough that the copy's memory
// stays small whatever the file's length.
constexpr qint64 kHandoffChunk = qint64(4) << 20;
constexpr int kHandoffBuffers = 4;

// Writes the chunks of a copy straight to the disk, past the page cache, while
// the file system takes such writes and the chunks are whole blocks at block
// offsets (the last one of a file seldom is); else as every write, the disk
// asked to start on each chunk at once. Either way the flush at the end has
// little left to wait for, and a straight write costs the processor no copy
// into the cache, which the digest beside the copy needs.
class ChunkWriter {
public:
    explicit ChunkWriter(int out) : out_(out)
    {
        const int flags = ::fcntl(out_, F_GETFL);
        direct_ = flags >= 0 && ::fcntl(out_, F_SETFL, flags | O_DIRECT) == 0;
    }
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;
    ~ChunkWriter() { buffered(); }

    // Writes the `size` bytes of `data` at `offset`, where the file stands:
    // 0 or the code of the failed write.
    int write(const char* data, qint64 size, qint64 offset)
    {
        if (size % kHandoffAlignment != 0 || offset % kHandoffAlignment != 0)
            buffered();
        if (!direct_) {
            const int rc = writeFd(out_, data, size);
            if (rc == 0)
                (void)::sync_file_range(out_, offset, size,
                                        SYNC_FILE_RANGE_WRITE);  // a hint; the flush writes the rest
            return rc;
        }
        if (const int err = injected(FaultOp::Write))
            return codeFor(err);
        ssize_t n = 0;
        do {
            n = ::write(out_, data, static_cast<size_t>(size));
        } while (n < 0 && errno == EINTR);
        if (n == size)
            return 0;
        if (n < 0 && errno != EINVAL)
            return codeFor(errno);
        // The file system refused a straight write, or took part of one: the
        // rest goes as every write does.
        buffered();
        const qint64 done = std::max<qint64>(n, 0);
        return writeAllFd(out_, data + done, size - done);
    }

private:
    void buffered()
    {
        if (!direct_)
            return;
        direct_ = false;
        if (const int flags = ::fcntl(out_, F_GETFL); flags >= 0)
            (void)::fcntl(out_, F_SETFL, flags & ~O_DIRECT);  // a failure shows as the next write's EINVAL
    }

    int out_;
    bool direct_ = false;
};

// copyBytes through the buffers of `handoff`, each chunk handed on once it is
// written. The bytes must pass through our hands, so no kernel copy here.
int copyBytesHanding(int in, int out, qint64 size, const CopyProgress& progress, ChunkHandoff& handoff, qint64* copied)
{
    ChunkWriter writer(out);
    *copied = 0;
    qint64 reported = 0;
    while (*copied < size) {
        char* buffer = handoff.buffer();
        qint64 got = 0;
        if (const int rc = readFd(in, buffer, std::min(handoff.bufferSize(), size - *copied), &got))
            return rc;
        if (got == 0)
            return 0;  // the source ended early; the caller sees the short count
        if (const int rc = writer.write(buffer, got, *copied))
            return rc;
        handoff.hand(got);
        *copied += got;
        if (progress && (*copied - reported >= kProgressChunk || *copied == size)) {
            reported = *copied;
            progress(*copied, size);
        }
    }
    return 0;
}

// Whether the open source is still the file whose `opened` status the copy
// started from, and `copied` is all of it.
bool sourceUnchanged(int in, const struct stat& opened, qint64 copied)
{
    struct stat now {};
    return ::fstat(in, &now) == 0 && copied == opened.st_size && now.st_size == opened.st_size
        && now.st_mtim.tv_sec == opened.st_mtim.tv_sec && now.st_mtim.tv_nsec == opened.st_mtim.tv_nsec;
}

// Gives the copy the source's permission bits (as copiedFileMode allows) and
// times. Both are a courtesy: on a file that belongs to someone else the
// system refuses them, and the bytes are installed all the same.
void carryOverAttributes(int out, const struct stat& source)
{
    if (!injected(FaultOp::Attributes))
        ::fchmod(out, copiedFileMode(source.st_mode));
    if (!injected(FaultOp::Attributes)) {
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ::futimens(out, times);
    }
}

}  // namespace

RawFile::~RawFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int RawFile::open(const QString& path, OpenMode mode)
{
    if (fd_ >= 0)
        (void)close();  // a caller that wrote through the old file closed it first to learn how that went
    int flags = O_RDONLY;
    if (mode == OpenMode::Write)
        flags = O_WRONLY | O_CREAT | O_TRUNC;
    else if (mode == OpenMode::Append)
        flags = O_WRONLY | O_CREAT | O_APPEND;
    path_ = path;
    const int rc = openFd(path, flags, 0666, &fd_);
    if (rc == 0 && mode == OpenMode::Read) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            return winerr::AccessDenied;
        }
    }
    return rc;
}

int RawFile::openWorkFile(const QString& path, mode_t mode)
{
    if (fd_ >= 0)
        (void)close();  // as open()
    path_ = path;
    return createWorkFile(path, mode, &fd_);
}

int RawFile::sync()
{
    if (fd_ < 0)
        return winerr::InvalidHandle;
    if (const int err = injected(FaultOp::Sync))
        return codeFor(err, path_);
    return ::fsync(fd_) == 0 ? 0 : codeFor(errno, path_);
}

int RawFile::read(char* buffer, qint64 max, qint64* got)
{
    if (fd_ < 0) {
        *got = 0;
        return winerr::InvalidHandle;
    }
    return readFd(fd_, buffer, max, got);
}

int RawFile::write(const char* data, qint64 size)
{
    if (fd_ < 0)
        return winerr::InvalidHandle;
    return writeFd(fd_, data, size);
}

int RawFile::close()
{
    if (fd_ < 0)
        return winerr::InvalidHandle;
    const int fd = fd_;
    fd_ = -1;
    return closeFd(fd);
}

namespace {

// Opens the source of a copy, only when it is a regular file: a named pipe
// would block the copy for ever, a device would never end it.
int openCopySource(const QString& source, int* in, struct stat* opened)
{
    if (const int rc = openFd(source, O_RDONLY | O_NONBLOCK, 0, in))
        return rc;
    int rc = 0;
    if (::fstat(*in, opened) != 0)
        rc = codeFor(errno, source);
    else if (S_ISDIR(opened->st_mode))
        rc = winerr::AccessDenied;
    else if (!S_ISREG(opened->st_mode))
        rc = winerr::BadFileType;
    else if (const int flags = ::fcntl(*in, F_GETFL); flags >= 0)
        (void)::fcntl(*in, F_SETFL, flags & ~O_NONBLOCK);  // reads of a plain file never wait anyway
    if (rc != 0) {
        ::close(*in);
        *in = -1;
    }
    return rc;
}

// How a copy makes its destination, given the mode the copy is to have: 0
// and the open descriptor, or the code of the failed open.
using DestinationOpener = std::function<int(mode_t mode, int* out)>;

// Copies `source` into the destination `open` makes; a copy that fails
// removes what it made. With `flush`, the copy reaches the disk first, and
// `whileFlushing` (when given) runs meanwhile. With `sink.take`, the chunks go
// to the sink as they are written.
int copyInto(const QString& source, const QString& destination, const DestinationOpener& open, bool flush,
             const CopyProgress& progress, const WhileFlushing& whileFlushing = {}, const ChunkSink& sink = {})
{
    if (const int err = injected(FaultOp::Copy))
        return codeFor(err, destination);
    int in = -1;
    struct stat opened {};
    if (const int rc = openCopySource(source, &in, &opened))
        return rc;
    int out = -1;
    if (const int rc = open(copiedFileMode(opened.st_mode), &out)) {
        ::close(in);
        return rc;
    }
    qint64 copied = 0;
    // Without the memory for its buffers the copy is the kernel's, and the
    // sink is told nothing (its check reads the copy back).
    std::optional<ChunkHandoff> handoff;
    if (sink.take)
        handoff.emplace(sink.take, kHandoffChunk, kHandoffBuffers);
    if (handoff && !handoff->ready())
        handoff.reset();
    int rc = handoff ? copyBytesHanding(in, out, opened.st_size, progress, *handoff, &copied)
                     : copyBytes(in, out, opened.st_size, progress, &copied);
    if (rc == 0 && !sourceUnchanged(in, opened, copied))
        rc = winerr::FileInvalid;
    if (rc == 0)
        carryOverAttributes(out, opened);
    // The stamp the copy leaves, taken from the open file after its last change
    // of ours (the times just set): a later look at the name that shows another
    // one sees a file someone else changed or put there.
    std::optional<FileStamp> written;
    if (struct stat st{}; rc == 0 && handoff && ::fstat(out, &st) == 0)
        written = stampOf(st);
    // What the sink still has to take, then what it is told at the end; both
    // beside the flush when there is one.
    const auto sinkDone = [&] {
        if (!handoff)
            return;
        handoff->finish();
        if (written && sink.finished)
            sink.finished(*written);
    };
    if (rc == 0 && flush) {
        if (const int err = injected(FaultOp::Sync)) {
            rc = codeFor(err, destination);
        } else if (whileFlushing || handoff) {
            // The disk's wait and the caller's work (a digest's last chunks, a
            // signature check) overlap on two processors.
            int syncErr = 0;
            std::thread flusher([out, &syncErr] { syncErr = ::fsync(out) != 0 ? errno : 0; });
            sinkDone();
            const int meanwhile = whileFlushing ? whileFlushing() : 0;
            flusher.join();
            rc = syncErr != 0 ? codeFor(syncErr, destination) : meanwhile;
        } else if (::fsync(out) != 0) {
            rc = codeFor(errno, destination);
        }
    } else if (rc == 0) {
        sinkDone();
    }
    if (handoff)
        handoff->finish();  // a failed copy's chunks still go to the sink before it is left
    const int closeOut = closeFd(out);
    ::close(in);
    if (rc == 0)
        rc = closeOut;
    if (rc != 0)
        ::unlink(encodePath(destination).constData());
    return rc;
}

}  // namespace

int copyFile(const QString& source, const QString& destination, bool failIfExists, const CopyProgress& progress)
{
    if (!failIfExists) {
        // Opening the destination would empty it: a copy onto the source itself,
        // under whatever name, has nothing to do.
        if (isFile(source) && sameFile(source, destination))
            return 0;
    }
    const int flags = O_WRONLY | O_CREAT | (failIfExists ? O_EXCL | O_NOFOLLOW : O_TRUNC);
    return copyInto(
        source, destination, [&](mode_t mode, int* out) { return openFd(destination, flags, mode, out); }, false,
        progress);
}

int copyToWorkFile(const QString& source, const QString& work, const CopyProgress& progress,
                   const WhileFlushing& whileFlushing, const ChunkSink& sink)
{
    return copyInto(
        source, work, [&](mode_t mode, int* out) { return createWorkFile(work, mode, out); }, true, progress,
        whileFlushing, sink);
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(encodePath(a).constData(), &first) == 0 && ::stat(encodePath(b).constData(), &second) == 0
        && sameIdentity(first, second);
}

int moveFile(const QString& from, const QString& to)
{
    if (const int err = injected(FaultOp::Rename))
        return codeFor(err, to);
    const QByteArray a = encodePath(from);
    const QByteArray b = encodePath(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return codeFor(errno, errno == ENOENT && !pathExists(from) ? from : to);
    // A file system without no-replace renames: a link refuses an existing name too.
    if (::link(a.constData(), b.constData()) != 0)
        return codeFor(errno, to);
    ::unlink(a.constData());
    return 0;
}

int replaceFile(const QString& from, const QString& to)
{
    if (const int err = injected(FaultOp::Rename))
        return codeFor(err, to);
    if (::rename(encodePath(from).constData(), encodePath(to).constData()) != 0)
        return codeFor(errno, errno == ENOENT && !pathExists(from) ? from : to);
    return 0;
}

int linkFile(const QString& existing, const QString& newName)
{
    int err = injected(FaultOp::Link);
    if (!err && ::link(encodePath(existing).constData(), encodePath(newName).constData()) != 0)
        err = errno;
    switch (err) {
    case 0:
        return 0;
    case EPERM:  // the file system refuses hard links
    case EOPNOTSUPP:
    case EMLINK:
    case ENOSYS:
        return winerr::NotSupported;
    default:
        return codeFor(err, err == ENOENT && !pathExists(existing) ? existing : newName);
    }
}

int deleteFile(const QString& path)
{
    if (const int err = injected(FaultOp::Unlink))
        return codeFor(err, path);
    const QByteArray p = encodePath(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return winerr::AccessDenied;
    if (::unlink(p.constData()) != 0)
        return codeFor(errno, path);
    return 0;
}

int createFolders(const QString& path)
{
    if (path.isEmpty())
        return winerr::PathNotFound;
    if (isFolder(path))
        return 0;
    // Each missing folder from the top down; one that is there already is fine.
    const QByteArray bytes = encodePath(path);
    for (qsizetype cut = bytes.indexOf('/', 1); cut > 0; cut = bytes.indexOf('/', cut + 1))
        ::mkdir(bytes.left(cut).constData(), 0777);
    ::mkdir(bytes.constData(), 0777);
    if (isFolder(path))
        return 0;
    return pathExists(path) ? winerr::AlreadyExists : winerr::PathNotFound;
}

int syncFile(const QString& path)
{
    if (const int err = injected(FaultOp::Sync))
        return codeFor(err, path);
    const int fd = ::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return codeFor(errno, path);
    const int rc = ::fsync(fd) == 0 ? 0 : codeFor(errno);
    ::close(fd);
    return rc;
}

int syncFolder(const QString& folder)
{
    if (const int err = injected(FaultOp::Sync))
        return codeFor(err, folder);
    const int fd = ::open(encodePath(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return codeFor(errno, folder);
    // Some file systems cannot flush a folder; their renames are as safe as they get.
    const int rc = ::fsync(fd) == 0 || errno == EINVAL ? 0 : codeFor(errno);
    ::close(fd);
    return rc;
}

qint64 longestName(const QString& folder)
{
    const long n = ::pathconf(encodePath(folder.isEmpty() ? QStringLiteral(".") : folder).constData(), _PC_NAME_MAX);
    return n > 0 ? n : 255;
}

FileId fileId(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(encodePath(path).constData(), &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

QString nonRegularKind(const QString& path)
{
    struct stat st {};
    if (::stat(encodePath(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("a device");
    return QStringLiteral("not a regular file");
}

int appendBlock(RawFile& file, QByteArray& bytes, qint64& got)
{
    const qsizetype old = bytes.size();
    bytes.resize(old + kReadBlockSize);
    got = 0;
    const int rc = file.read(bytes.data() + old, kReadBlockSize, &got);
    bytes.resize(old + got);
    return rc;
}

int readRemaining(RawFile& file, QByteArray& bytes)
{
    for (qint64 got = 1; got > 0;) {
        if (const int rc = appendBlock(file, bytes, got))
            return rc;
    }
    return 0;
}

int readWholeFile(const QString& path, QByteArray& bytes)
{
    RawFile file;
    if (const int rc = file.open(path, OpenMode::Read))
        return rc;
    bytes.clear();
    return readRemaining(file, bytes);
}

bool isFile(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(encodePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(encodePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(encodePath(path).constData(), &st) == 0;
}

bool wildcardMatch(const QString& pattern, const QString& name)
{
    return NameMatcher(pattern).matches(encodePath(name).constData());
}

struct WildcardPattern::Matcher : NameMatcher {
    using NameMatcher::NameMatcher;
};

WildcardPattern::WildcardPattern(const QString& pattern) : matcher_(std::make_shared<const Matcher>(pattern))
{
}

bool WildcardPattern::matches(const QByteArray& nameBytes) const
{
    return matcher_->matches(nameBytes.constData());
}

int listFiles(const QString& folder, const QString& pattern, const std::function<void(const FileEntry&)>& visit)
{
    return listFiles(folder, QStringList{pattern}, [&](int, const FileEntry& e) { visit(e); });
}

int listFiles(const QString& folder, const QStringList& patterns,
              const std::function<void(int, const FileEntry&)>& visit)
{
    const QByteArray dirPath = encodePath(folder.isEmpty() ? QStringLiteral(".") : folder);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(dirPath.constData()));
    if (!dir)
        return codeFor(errno, folder.isEmpty() ? QString() : folder + kPathSep);
    std::vector<NameMatcher> matchers;
    matchers.reserve(static_cast<size_t>(patterns.size()));
    for (const QString& pattern : patterns)
        matchers.emplace_back(pattern);
    const int dfd = ::dirfd(dir.get());
    std::vector<FileEntry> found;
    std::vector<std::vector<size_t>> hits(matchers.size());
    std::vector<size_t> matched;
    // A file renamed while the folder is read may be met twice; it is listed once.
    QSet<QString> seen;
    while (const dirent* d = ::readdir(dir.get())) {
        if (d->d_name[0] == '.')
            continue;  // hidden files, and the "." and ".." entries
        if (d->d_type == DT_DIR)
            continue;
        matched.clear();
        for (size_t k = 0; k < matchers.size(); ++k) {
            if (matchers[k].matches(d->d_name))
                matched.push_back(k);
        }
        if (matched.empty())
            continue;
        struct stat st {};
        if (::fstatat(dfd, d->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;  // vanished meanwhile, a folder behind a link, or a device
        QString name = decodePath(d->d_name);
        if (seen.contains(name))
            continue;
        seen.insert(name);
        found.push_back({std::move(name), st.st_size, st.st_mtim.tv_sec});
        for (const size_t k : matched)
            hits[k].push_back(found.size() - 1);
    }
    for (size_t k = 0; k < hits.size(); ++k) {
        for (const size_t i : hits[k])
            visit(static_cast<int>(k), found[i]);
    }
    return 0;
}

int findFirstFile(const QString& path, FileEntry* entry)
{
    const qsizetype cut = path.lastIndexOf(kPathSep);
    const QString folder = cut >= 0 ? path.left(cut + 1) : QString();
    const QString pattern = cut >= 0 ? path.mid(cut + 1) : path;
    if (pattern.isEmpty() || pattern.startsWith(u'.'))
        return winerr::FileNotFound;
    if (!hasWildcard(pattern)) {
        // The exact name first: one stat instead of a scan of the folder.
        struct stat st {};
        if (::stat(encodePath(path).constData(), &st) == 0) {
            if (!S_ISREG(st.st_mode))
                return winerr::FileNotFound;
            entry->name = pattern;
            entry->size = st.st_size;
            entry->modified = st.st_mtim.tv_sec;
            return 0;
        }
    }
    bool found = false;
    const int rc = listFiles(folder, pattern, [&](const FileEntry& e) {
        if (!found) {
            *entry = e;
            found = true;
        }
    });
    if (rc != 0)
        return rc;
    return found ? 0 : winerr::FileNotFound;
}

}  // namespace platform
