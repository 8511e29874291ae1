#include "platform/atomicwrite.h"

#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString workFileFor(const QString& target)
{
    return target + QStringLiteral(".~%1").arg(::getpid());
}

int writeFileAtomically(const QString& target, const QByteArray& bytes)
{
    AtomicFileWriter writer(target);
    if (const int rc = writer.begin())
        return rc;
    if (const int rc = writer.write(bytes))
        return rc;
    return writer.commit();
}

AtomicFileWriter::AtomicFileWriter(QString target) : target_(std::move(target)), work_(workFileFor(target_))
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(encodePath(work_).constData());
}

int AtomicFileWriter::begin()
{
    // A writer may begin again after a failed begin (its caller retries the
    // open); the failure of the earlier try is no longer its state.
    if (fd_ >= 0)
        return winerr::InvalidHandle;
    error_ = 0;
    if (const int err = checkFault(FaultOp::Open))
        return error_ = winErrorFromErrno(err, work_);
    // The new version keeps the permission bits of the one it replaces.
    mode_t mode = 0666;
    struct stat st {};
    const bool replacing = ::stat(encodePath(target_).constData(), &st) == 0;
    if (replacing)
        mode = st.st_mode & 07777;
    fd_ = ::open(encodePath(work_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd_ < 0)
        return error_ = winErrorFromErrno(errno, work_);
    if (replacing)
        ::fchmod(fd_, mode);
    return 0;
}

int AtomicFileWriter::write(const char* data, qint64 size)
{
    if (error_ || fd_ < 0)
        return error_ ? error_ : winerr::InvalidHandle;
    if (const int err = checkFault(FaultOp::Write))
        return error_ = winErrorFromErrno(err);
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return error_ = winErrorFromErrno(errno);
        }
        data += n;
        size -= n;
    }
    return 0;
}

int AtomicFileWriter::commit()
{
    if (error_ || fd_ < 0)
        return error_ ? error_ : winerr::InvalidHandle;
    // A new version that may not have reached the disk must not replace the
    // old one: after a crash the target could hold neither.
    int rc = 0;
    if (const int err = checkFault(FaultOp::Sync))
        rc = winErrorFromErrno(err);
    else if (::fsync(fd_) != 0)
        rc = winErrorFromErrno(errno);
    const int closeErr = checkFault(FaultOp::Close);
    if (::close(fd_) != 0 && rc == 0)
        rc = winErrorFromErrno(errno);
    fd_ = -1;
    if (rc == 0 && closeErr)
        rc = winErrorFromErrno(closeErr);
    if (rc == 0)
        rc = replaceFile(work_, target_);
    if (rc != 0)
        return error_ = rc;
    committed_ = true;  // the work file is the target now
    return 0;
}

}  // namespace platform
