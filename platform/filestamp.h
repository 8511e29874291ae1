#pragma once
// What a file is and when it last changed, as one look at it tells: a placement
// compares the stamp its copy left with the one the work file shows when it is
// checked, to know the file was not written, truncated, touched or replaced in
// between.
#include "platform/result.h"

#include <QString>

struct stat;

namespace platform {

// A file's identity (device, inode) and change stamps (size, times in
// nanoseconds). Writing into the file, cutting it, setting its times or its
// mode, or putting another file under its name changes one of them; the change
// time is set by the system alone.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp in a status the system gave (stat, fstat).
FileStamp stampOf(const struct stat& status);

// The stamp of `path` itself (a link's own, not its target's): the stamp, or
// the code and words of a name that cannot be looked at.
[[nodiscard]] Result<FileStamp> fileStamp(const QString& path);

}  // namespace platform
