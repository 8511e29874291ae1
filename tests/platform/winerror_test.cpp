// The one place where errno values become the family's error codes: every
// errno with a code of its own, the missing-file case that depends on the
// folder, and the catch-all.
#include "platform/winerror.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using platform::winErrorFromErrno;
using testsupport::ScratchDir;

TEST(WinErrorFromErrno, EveryMappedErrnoHasItsCode)
{
    const struct {
        int err;
        int code;
    } cases[] = {
        {0, 0},
        {ENOENT, 2},  // no path given: the file is missing
        {ENOTDIR, 3},  // a folder of the path is a file
        {EACCES, 5},
        {EPERM, 5},
        {EROFS, 5},
        {EISDIR, 5},
        {EBUSY, 32},
        {ETXTBSY, 32},
        {EAGAIN, 32},  // in use by another
        {EEXIST, 183},
        {ENOTEMPTY, 145},
        {ENOSPC, 112},
        {EDQUOT, 112},
        {EFBIG, 112},
        {EXDEV, 17},
        {ENAMETOOLONG, 206},
        {EINVAL, 87},
        {EBADF, 6},
        {ENOMEM, 8},
        {EILSEQ, 123},  // a name the file system cannot store
        // Without a closer match: the device error, never 0.
        {EIO, 1117},
        {EMFILE, 1117},
        {ELOOP, 1117},
        {EPROTO, 1117},
        {100000, 1117},
    };
    for (const auto& c : cases)
        EXPECT_EQ(winErrorFromErrno(c.err), c.code) << c.err << ' ' << std::strerror(c.err);
}

// A missing file is 2 while the folder meant to hold it is there, and 3
// when that folder is missing or is no folder at all.
TEST(WinErrorFromErrno, MissingFileOrMissingFolderDependsOnTheParent)
{
    const ScratchDir dir;
    testsupport::writeFile(dir.file(QStringLiteral("plain.txt")), "x");
    const testsupport::CurrentFolderScope current(dir.path());
    ASSERT_TRUE(current.changed());
    const struct {
        QString path;
        int code;
    } cases[] = {
        {dir.file(QStringLiteral("missing.txt")), 2},
        {dir.file(QStringLiteral("no/such/missing.txt")), 3},
        {dir.file(QStringLiteral("plain.txt/missing.txt")), 3},  // the "folder" is a file
        {QStringLiteral("missing.txt"), 2},  // no folder part: the current folder
        {QStringLiteral("no/missing.txt"), 3},
        {QStringLiteral("/missing-at-the-root"), 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(winErrorFromErrno(ENOENT, c.path), c.code) << c.path.toStdString();
    // The folder only decides for ENOENT.
    EXPECT_EQ(winErrorFromErrno(EACCES, dir.file(QStringLiteral("no/such/file"))), 5);
}

// No errno but 0 may read as success.
TEST(WinErrorFromErrno, NoErrnoReadsAsSuccess)
{
    for (int err = 1; err < 4096; ++err)
        EXPECT_NE(winErrorFromErrno(err), 0) << err;
}
