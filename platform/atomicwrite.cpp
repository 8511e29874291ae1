#include "platform/atomicwrite.h"

#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// How many links a save follows to find the file it writes.
constexpr int kMaxLinkHops = 40;

// Work files that killed writers of `target` left beside it: the same digest,
// the save ending, and no live writer holding them.
void removeLeftoversOf(const QString& target)
{
    const QString folder = target.left(target.lastIndexOf(kPathSep) + 1);
    const QString stem = hiddenWorkName(target, QString()).mid(folder.size());
    for (const QString& name : hiddenNamesIn(folder)) {
        if (name.startsWith(stem) && isWorkName(name, kSaveWorkSuffix))
            (void)removeLeftover(folder + name);  // one still held is another writer's, and stays
    }
}

}  // namespace

QString savedPath(const QString& target)
{
    // A link is kept and its file written: the link may be how the user
    // shares one file between places. A chain of links, or a link to a link,
    // ends at the file that the last one names.
    QString path = target;
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        const QByteArray bytes = encodePath(path);
        struct stat st {};
        if (::lstat(bytes.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray link(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX), Qt::Uninitialized);
        const ssize_t n = ::readlink(bytes.constData(), link.data(), size_t(link.size()));
        if (n <= 0)
            return path;
        link.truncate(n);
        const QString to = decodePath(link);
        path = to.startsWith(kPathSep) ? to : path.left(path.lastIndexOf(kPathSep) + 1) + to;
    }
    return path;
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

int rewriteFileInPlace(const QString& target, const QByteArray& bytes)
{
    const QString path = savedPath(target);
    if (const int err = checkFault(FaultOp::Open))
        return winErrorFromErrno(err, path);
    const int fd = ::open(encodePath(path).constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return winErrorFromErrno(errno, path);
    struct stat st {};
    int rc = ::fstat(fd, &st) != 0 ? winErrorFromErrno(errno, path) : (S_ISREG(st.st_mode) ? 0 : winerr::BadFileType);
    // The room first: until it is had, not a byte of the old content changes.
    if (rc == 0 && bytes.size() > st.st_size) {
        if (const int err = checkFault(FaultOp::Write))
            rc = winErrorFromErrno(err, path);
        else if (::fallocate(fd, 0, 0, bytes.size()) != 0)
            rc = errno == EOPNOTSUPP ? winerr::NotSupported : winErrorFromErrno(errno, path);
        if (rc != 0)
            (void)::ftruncate(fd, st.st_size);  // whatever a partial reservation added goes again
    }
    for (qsizetype done = 0; rc == 0 && done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), done);
        if (n < 0 && errno != EINTR)
            rc = winErrorFromErrno(errno, path);
        else if (n > 0)
            done += n;
    }
    if (rc == 0 && ::ftruncate(fd, bytes.size()) != 0)
        rc = winErrorFromErrno(errno, path);
    if (rc == 0 && ::fsync(fd) != 0)
        rc = winErrorFromErrno(errno, path);
    ::close(fd);
    return rc;
}

AtomicFileWriter::AtomicFileWriter(QString target)
    : target_(savedPath(target)), work_(uniqueWorkName(target_, kSaveWorkSuffix))
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
    // The new version keeps the owner, group and permission bits of the one
    // it replaces: a file that root saves for a user stays the user's.
    mode_t mode = 0666;
    struct stat st {};
    const bool replacing = ::stat(encodePath(target_).constData(), &st) == 0;
    if (replacing)
        mode = st.st_mode & 07777;
    if (const int rc = createWorkFile(work_, mode, &fd_))
        return error_ = rc;
    if (replacing) {
        // Where the system refuses (another user's file, saved by that user's
        // group), the file takes this user's ownership, as any new file would.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)::fchown(fd_, st.st_uid, st.st_gid);
        (void)::fchmod(fd_, mode);  // after the owner: a change of owner clears set-ID bits
    }
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
    removeLeftoversOf(target_);
    return 0;
}

}  // namespace platform
