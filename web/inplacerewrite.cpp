#include "web/inplacerewrite.h"

#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/pathbytes.h"
#include "platform/winerror.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vek {
namespace {

constexpr qint64 kChunk = qint64(1) << 20;

// Writes the bytes of `from` over the open file from its start and cuts it
// to their length; 0 or the code of the failed step.
int overwrite(int fd, const QString& from, const QString& target)
{
    platform::RawFile source;
    if (const int rc = source.open(from, platform::OpenMode::Read))
        return rc;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    off_t offset = 0;
    for (;;) {
        qint64 got = 0;
        if (const int rc = source.read(buffer.data(), buffer.size(), &got))
            return rc;
        if (got == 0)
            break;
        // The fault seam reaches these writes as it reaches the file layer's.
        if (const int err = platform::checkFault(platform::FaultOp::Write))
            return platform::winErrorFromErrno(err, target);
        for (qint64 done = 0; done < got;) {
            const ssize_t n = ::pwrite(fd, buffer.constData() + done, static_cast<size_t>(got - done), offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return platform::winErrorFromErrno(n < 0 ? errno : ENOSPC, target);
            done += n;
            offset += n;
        }
    }
    if (::ftruncate(fd, offset) != 0 || ::fsync(fd) != 0)
        return platform::winErrorFromErrno(errno, target);
    return 0;
}

qint64 sizeof_(const QString& path)
{
    struct stat st {};
    return ::stat(platform::encodePath(path).constData(), &st) == 0 ? qint64(st.st_size) : -1;
}

}  // namespace

int rewriteinplace(const QString& source, const QString& target, const QString& keep, bool* restorefailed)
{
    if (restorefailed)
        *restorefailed = false;
    const qint64 newsize = sizeof_(source);
    if (newsize < 0)
        return platform::winErrorFromErrno(errno, source);
    if (const int err = platform::checkFault(platform::FaultOp::Open))
        return platform::winErrorFromErrno(err, target);
    const int fd = ::open(platform::encodePath(target).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return platform::winErrorFromErrno(errno, target);
    struct stat before {};
    int rc = ::fstat(fd, &before) == 0 ? 0 : platform::winErrorFromErrno(errno, target);
    if (rc == 0 && !S_ISREG(before.st_mode))
        rc = platform::winerr::AccessDenied;
    // The old bytes are kept where they can be had back before any is overwritten.
    if (rc == 0)
        rc = platform::copyToWorkFile(target, keep);
    // A full disk shows here, before the first byte is overwritten.
    if (rc == 0 && newsize > before.st_size) {
        int err = platform::checkFault(platform::FaultOp::Write);
        if (err == 0)
            err = ::posix_fallocate(fd, 0, static_cast<off_t>(newsize));
        if (err != 0) {
            rc = platform::winErrorFromErrno(err, target);
            (void)::ftruncate(fd, before.st_size);  // whatever was reserved goes again; the bytes never changed
        }
    }
    if (rc != 0) {
        ::close(fd);
        (void)platform::deleteFile(keep);  // the target never changed
        return rc;
    }
    rc = overwrite(fd, source, target);
    if (rc != 0 && overwrite(fd, keep, target) != 0) {
        ::close(fd);
        if (restorefailed)
            *restorefailed = true;
        return rc;  // the old bytes wait in `keep`
    }
    if (::close(fd) != 0 && rc == 0)
        rc = platform::winErrorFromErrno(errno, target);
    (void)platform::deleteFile(keep);  // the target holds the new bytes, or the old ones again
    return rc;
}

}  // namespace vek
