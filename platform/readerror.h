#pragma once
// Why a reader came back with nothing. A file that is not there and one that
// is there but could not be read both read as empty; only the first may be
// written afresh, since a write built on the second would drop what it holds.
#include <QString>

namespace platform {

enum class ReadError {
    None,  // read whole
    NotExist,  // no file of that name (or its folder is missing)
    Failed,  // there, but the open or a read failed, or it is no plain file
};

// How the failed open or read of `path` with `code` reads: NotExist only for
// "not found" codes of a name that is indeed not there.
ReadError readErrorFor(int code, const QString& path);

}  // namespace platform
