#include "web/programdownload.h"

#include "platform/faultinjection.h"
#include "platform/filemode.h"
#include "platform/winerror.h"
#include "platform/workfile.h"
#include "platform/writeback.h"
#include "web/sha256.h"
#include "web/webfoldertransfer.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vek {
namespace {

// The causes of a failed download, after "could not read the server file
// ADDRESS" or "refused the server file ADDRESS".
const QString kIncompleteReply = QStringLiteral("the reply came incomplete");
const QString kPartKept = QStringLiteral("; %1 of %2 bytes are kept for the next attempt");
const QString kLongerThanIndexed = QStringLiteral("it is longer than the %1 bytes the server's index says");
const QString kNotAsIndexed = QStringLiteral(
    "it does not match the server's index: %1 bytes with SHA-256 %2, where the index says %3 bytes with SHA-256 %4");

constexpr int kOk = 200;
constexpr int kPartial = 206;
constexpr int kNotFound = 404;
constexpr int kRangeNotSatisfiable = 416;

// The open work file; closed when it goes.
class WorkFile {
public:
    WorkFile() = default;
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    ~WorkFile() { (void)close(); }

    // Takes up the work file a cut download left, or makes it anew.
    [[nodiscard]] int open(const QString& path)
    {
        path_ = path;
        int rc = platform::openOwnWorkFile(path, &fd_);
        if (rc == platform::winerr::FileNotFound)
            rc = platform::createWorkFile(path, 0600, &fd_);
        return rc;
    }
    [[nodiscard]] int size(qint64* bytes) const
    {
        const off_t end = ::lseek(fd_, 0, SEEK_END);
        *bytes = end;
        return end < 0 ? platform::winErrorFromErrno(errno, path_) : 0;
    }
    // Empties the file; the next write goes to its start.
    [[nodiscard]] int empty()
    {
        if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0)
            return platform::winErrorFromErrno(errno, path_);
        return 0;
    }
    // Adds the first `bytes` of the file to `digest`.
    [[nodiscard]] int hash(qint64 bytes, Sha256Pipe& digest) const
    {
        QByteArray buffer(platform::kReadBlockSize, Qt::Uninitialized);
        for (qint64 at = 0; at < bytes;) {
            const ssize_t got = ::pread(fd_, buffer.data(), static_cast<size_t>(std::min(buffer.size(), bytes - at)),
                                        static_cast<off_t>(at));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return got < 0 ? platform::winErrorFromErrno(errno, path_) : platform::winerr::ReadFault;
            digest.add(buffer.constData(), got);
            at += got;
        }
        return 0;
    }
    [[nodiscard]] int append(const char* data, qint64 size)
    {
        if (const int err = platform::checkFault(platform::FaultOp::Write))
            return platform::winErrorFromErrno(err, path_);
        while (size > 0) {
            const ssize_t put = ::write(fd_, data, static_cast<size_t>(size));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put < 0 ? platform::winErrorFromErrno(errno, path_) : platform::winerr::WriteFault;
            data += put;
            size -= put;
        }
        return 0;
    }
    // Gives the file its mode and flushes it to the disk.
    [[nodiscard]] int finish(mode_t mode)
    {
        if (::fchmod(fd_, platform::copiedFileMode(mode)) != 0 || ::fsync(fd_) != 0)
            return platform::winErrorFromErrno(errno, path_);
        return 0;
    }
    [[nodiscard]] int close()
    {
        if (fd_ < 0)
            return 0;
        const int rc = ::close(fd_) == 0 ? 0 : platform::winErrorFromErrno(errno, path_);
        fd_ = -1;
        return rc;
    }
    // Closes the file and removes it: nothing worth keeping is in it.
    void discard()
    {
        (void)close();  // the name goes either way
        (void)platform::deleteFile(path_);  // a leftover of ours that the next download makes anew
    }
    int descriptor() const { return fd_; }

private:
    QString path_;
    int fd_ = -1;
};

// The first byte a partial reply carries ("Content-Range: bytes 100-999/1000"),
// or -1 when it does not say.
qint64 rangestart(const QStringList& headers)
{
    const QString range = headervalue(headers, QStringLiteral("Content-Range"));
    if (!range.startsWith(QLatin1String("bytes "), Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const qint64 start = range.mid(6).section(u'-', 0, 0).trimmed().toLongLong(&ok);
    return ok ? start : -1;
}

QString statusof(const http::Reply& reply)
{
    return reply.statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(reply.status) : reply.statusLine;
}

ProgramDownload failed(int code, bool localSide, const QString& cause)
{
    return {code, localSide, cause};
}

// What one attempt came to; `retry` when the kept part turned out to be of
// another version and the file should be asked for whole.
struct Attempt {
    ProgramDownload result;
    bool retry = false;
};

Attempt attempt(const QString& url, const QString& work, const ExpectedFile& expected, mode_t mode,
                const platform::CopyProgress& progress)
{
    WorkFile file;
    if (const int rc = file.open(work))
        return {failed(rc, true, QString()), false};
    qint64 kept = 0;
    if (const int rc = file.size(&kept))
        return {failed(rc, true, QString()), false};
    if (kept > expected.size) {
        if (const int rc = file.empty())
            return {failed(rc, true, QString()), false};
        kept = 0;
    }
    // Hashed beside the transfer, on a core of its own where there is one.
    Sha256Pipe digest;
    if (const int rc = file.hash(kept, digest))
        return {failed(rc, true, QString()), false};
    const qint64 resumedAt = kept;
    qint64 have = kept;
    if (progress)
        progress(have, expected.size);

    int writeError = 0;
    bool tooLong = false;
    bool writing = false;
    if (have < expected.size) {
        QList<QByteArray> headers;
        if (have > 0)
            headers.append("Range: bytes=" + QByteArray::number(have) + '-');
        const auto bodyStarts = [&](const http::Reply& head) {
            if (head.status == kPartial && have > 0) {
                // Only the rest of the file joins the kept part.
                writing = rangestart(head.headers) == have;
                return writing;
            }
            if (head.status == kOk && have > 0) {
                // A server that takes no range requests sends the whole file.
                if ((writeError = file.empty()) != 0)
                    return false;
                digest.reset();
                have = 0;
            }
            // Another status's body is its error page, not the program.
            writing = head.status == kOk;
            return true;
        };
        platform::WritebackPacer writeback(file.descriptor());
        const auto sink = [&](const char* data, qint64 size) {
            if (!writing)
                return true;
            if (have + size > expected.size) {
                tooLong = true;
                return false;
            }
            if ((writeError = file.append(data, size)) != 0)
                return false;
            writeback.wrote(size);
            digest.add(data, size);
            have += size;
            if (progress)
                progress(have, expected.size);
            return true;
        };
        WebFolderTransfer transfer;
        const http::Reply reply = transfer.get(url, headers, bodyStarts, sink);
        if (writeError != 0) {
            // A part the local folder could not take (a full disk) is no part
            // to resume: kept, it would hold the space every other install
            // into the folder needs.
            file.discard();
            return {failed(writeError, true, QString()), false};
        }
        if (reply.status == kRangeNotSatisfiable && resumedAt > 0) {
            file.discard();
            return {failed(platform::winerr::DataMismatch, false, statusof(reply)), true};
        }
        if (reply.status == kNotFound) {
            file.discard();
            return {failed(platform::winerr::FileNotFound, false, statusof(reply)), false};
        }
        if (!tooLong) {
            if (!reply.transferred || (writing && !reply.complete())) {
                const QString why = reply.transferred ? kIncompleteReply : reply.error;
                if (have == 0) {
                    file.discard();  // nothing arrived worth keeping
                    return {failed(platform::winerr::NetworkFailure, false, why), false};
                }
                return {failed(platform::winerr::NetworkFailure, false, why + kPartKept.arg(have).arg(expected.size)),
                        false};
            }
            if (!writing)
                return {failed(platform::winerr::NetworkFailure, false, statusof(reply)), false};
        }
    }
    const QByteArray sha256 = digest.hex();
    if (tooLong || have != expected.size || sha256 != expected.sha256) {
        file.discard();
        const QString cause = tooLong ? kLongerThanIndexed.arg(expected.size)
                                      : kNotAsIndexed.arg(have)
                                            .arg(QString::fromLatin1(sha256))
                                            .arg(expected.size)
                                            .arg(QString::fromLatin1(expected.sha256));
        return {failed(platform::winerr::DataMismatch, false, cause), resumedAt > 0};
    }
    int rc = file.finish(mode);
    if (const int closed = file.close(); rc == 0)
        rc = closed;
    if (rc != 0) {
        file.discard();
        return {failed(rc, true, QString()), false};
    }
    return {};
}

}  // namespace

QString resumableworkname(const QString& current)
{
    return platform::hiddenWorkName(current, platform::kResumableDownloadSuffix);
}

ProgramDownload downloadprogram(const QString& url, const QString& work, const ExpectedFile& expected, mode_t mode,
                                const platform::CopyProgress& progress)
{
    Attempt first = attempt(url, work, expected, mode, progress);
    // A kept part of another version: once more from the start.
    if (first.retry)
        return attempt(url, work, expected, mode, progress).result;
    return first.result;
}

}  // namespace vek
