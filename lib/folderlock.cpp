#include "lib/folderlock.h"

#include "platform/fileapi.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vek {

FolderLock::FolderLock(const QString& folder)
{
    fd_ = ::open(platform::encodePath(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0)
        ::close(fd_);  // closing releases the lock
}

}  // namespace vek
