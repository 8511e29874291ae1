#include "platform/readerror.h"

#include "platform/fileapi.h"
#include "platform/winerror.h"

namespace platform {

ReadError readErrorFor(int code, const QString& path)
{
    if (code == 0)
        return ReadError::None;
    // A "not found" can also come from a name that is there but cannot be
    // followed (a link to nowhere): that one is there, and not to be replaced.
    if ((code == winerr::FileNotFound || code == winerr::PathNotFound) && !pathExists(path))
        return ReadError::NotExist;
    return ReadError::Failed;
}

}  // namespace platform
