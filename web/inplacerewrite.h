#pragma once
// Rewriting a file in place with the bytes of another, for a download whose
// target lies in a folder that takes no work file beside it (a shared folder
// whose users may write its files but not add any). The file keeps its
// inode, and so its owner, mode and links.
#include <QString>

namespace vek {

// Rewrites `target` with the bytes of the finished file `source`. The old
// bytes are copied to `keep` (a name in a folder that takes a file) first and
// the new length is reserved before the first byte is overwritten, so that a
// full disk fails before anything changes; a write that fails later puts the
// old bytes back from `keep`. Returns 0 when the target holds the new bytes
// (and `keep` is gone), else the code of the failing step with the target as
// it was; `keep` then remains only when putting the old bytes back failed too
// (`*restorefailed` true), and holds them.
[[nodiscard]] int rewriteinplace(const QString& source, const QString& target, const QString& keep,
                                 bool* restorefailed);

}  // namespace vek
