#include "platform/filestamp.h"

#include "platform/errortext.h"
#include "platform/pathbytes.h"
#include "platform/winerror.h"

#include <cerrno>
#include <sys/stat.h>

namespace platform {
namespace {

const QString kNoStamp = QStringLiteral("%1 cannot be looked at: %2");

qint64 nanoseconds(const struct timespec& time)
{
    return qint64(time.tv_sec) * 1000000000 + qint64(time.tv_nsec);
}

}  // namespace

FileStamp stampOf(const struct stat& status)
{
    return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size), nanoseconds(status.st_mtim),
            nanoseconds(status.st_ctim)};
}

Result<FileStamp> fileStamp(const QString& path)
{
    struct stat status {};
    if (::lstat(encodePath(path).constData(), &status) != 0) {
        const int code = winErrorFromErrno(errno, path);
        return fail(code, kNoStamp.arg(path, errorText(code)));
    }
    return stampOf(status);
}

}  // namespace platform
