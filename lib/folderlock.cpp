#include "lib/folderlock.h"

#include "lib/folders.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vek {
namespace {

std::chrono::milliseconds lockWait = kDefaultLockWait;
constexpr std::chrono::milliseconds kPollInterval(100);

// Opens the folder's lock file without following a link and without waiting
// on a pipe planted under its name; only a regular file will do.
QString lockPath(const QString& folder)
{
    return addslash(folder.isEmpty() ? QStringLiteral(".") : folder) + kFolderLockName;
}

int openLockFile(const QString& path, int* fd)
{
    // Read access is all a lock needs, so a lock file that another user's run
    // made (and has not removed yet) can be opened too.
    *fd = ::open(platform::encodePath(path).constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                 0644);
    if (*fd < 0)
        return errno == ELOOP || errno == ENXIO ? platform::winerr::AlreadyExists
                                                : platform::winErrorFromErrno(errno, path);
    struct stat st {};
    if (::fstat(*fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(*fd);
        *fd = -1;
        return platform::winerr::AlreadyExists;
    }
    return 0;
}

// Whether the open lock file is still the one under its name: the run that
// held it before removes it as it lets go, and a run that was waiting on the
// removed file must take the lock again on the new one.
bool stillNamed(int fd, const QString& path)
{
    struct stat opened {};
    return ::fstat(fd, &opened) == 0
        && platform::fileId(path) == platform::FileId{quint64(opened.st_dev), quint64(opened.st_ino)};
}

}  // namespace

void setfolderlockwait(std::chrono::milliseconds limit)
{
    lockWait = limit;
}

std::chrono::milliseconds folderlockwait()
{
    return lockWait;
}

Hook<void(const QString& folder, bool first)>& folderlockwaitnotice()
{
    static Hook<void(const QString&, bool)> hook;
    return hook;
}

FolderLock::FolderLock(const QString& folder) : path_(lockPath(folder))
{
    if ((code_ = openLockFile(path_, &fd_)) != 0)
        return;
    const auto giveUpAt = std::chrono::steady_clock::now() + lockWait;
    bool told = false;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            if (stillNamed(fd_, path_))
                return;
            ::close(fd_);
            if ((code_ = openLockFile(path_, &fd_)) != 0)
                return;
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            code_ = platform::winErrorFromErrno(errno);
            break;
        }
        if (std::chrono::steady_clock::now() >= giveUpAt) {
            code_ = platform::winerr::WaitTimeout;
            break;
        }
        if (folderlockwaitnotice().installed())
            folderlockwaitnotice().current()(addslash(folder), !told);
        told = true;
        std::this_thread::sleep_for(kPollInterval);
    }
    ::close(fd_);
    fd_ = -1;
}

FolderLock::~FolderLock()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so that no run takes a lock on a file that is
    // about to go; the folder keeps nothing of the run.
    ::unlink(platform::encodePath(path_).constData());
    ::close(fd_);  // closing releases the lock
}

}  // namespace vek
