#include "platform/winerror.h"

#include <QFileInfo>
#include <cerrno>

namespace platform {

int winErrorFromErrno(int err, const QString& path)
{
    switch (err) {
    case 0:
        return winerr::Success;
    case ENOENT:
        if (!path.isEmpty()) {
            const QFileInfo parent(QFileInfo(path).absolutePath());
            if (!parent.isDir())
                return winerr::PathNotFound;
        }
        return winerr::FileNotFound;
    case ENOTDIR:
        return winerr::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return winerr::AccessDenied;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
        return winerr::SharingViolation;
    case EEXIST:
        return winerr::AlreadyExists;
    case ENOTEMPTY:
        return winerr::DirNotEmpty;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return winerr::DiskFull;
    case EXDEV:
        return winerr::NotSameDevice;
    case ENAMETOOLONG:
        return winerr::FilenameTooLong;
    case EINVAL:
        return winerr::InvalidParameter;
    case EBADF:
        return winerr::InvalidHandle;
    case ENOMEM:
        return winerr::NotEnoughMemory;
    case EILSEQ:
        return winerr::InvalidName;
    default:
        return winerr::IoDevice;
    }
}

}  // namespace platform
