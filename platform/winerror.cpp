#include "platform/winerror.h"

#include "platform/pathbytes.h"

#include <cerrno>
#include <sys/stat.h>

namespace platform {
namespace {

// Whether the folder that should hold `path` is there: the part before the
// last "/", or the current folder when the path has none.
bool parentFolderExists(const QString& path)
{
    const QByteArray bytes = encodePath(path);
    const qsizetype cut = bytes.lastIndexOf('/');
    const QByteArray parent = cut < 0 ? QByteArray(".") : cut == 0 ? QByteArray("/") : bytes.left(cut);
    struct stat st {};
    return ::stat(parent.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int winErrorFromErrno(int err, const QString& path)
{
    switch (err) {
    case 0:
        return winerr::Success;
    case ENOENT:
        if (!path.isEmpty() && !parentFolderExists(path))
            return winerr::PathNotFound;
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
