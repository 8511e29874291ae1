// The files folder: a redirection file that cannot be read now is read again
// by a later call, instead of the default being kept for the rest of the run.
#include "lib/folders.h"
#include "libguards.h"
#include "platform/faultinjection.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

using testsupport::ScratchDir;

TEST(RedirectionRead, AnUnreadableRedirectionFileIsNotTakenAsNoneForGood)
{
    ScratchDir dir;
    const testsupport::RunArgumentsScope args({dir.path() + QStringLiteral("app/TessarineInstaller")});
    testsupport::FilesFolderScope filesFolder;
    QDir().mkpath(dir.path() + QStringLiteral("app/files"));
    QDir().mkpath(dir.path() + QStringLiteral("shared"));
    testsupport::writeFile(dir.path() + QStringLiteral("app/files/filesdir.txt"), dir.path().toUtf8() + "shared\r\n");
    for (const platform::FaultOp op : {platform::FaultOp::Open, platform::FaultOp::Read}) {
        filesFolder.reset();
        {
            const testsupport::FaultScope fault;
            platform::injectFault(op, 1, EIO);
            EXPECT_EQ(vek::filesfolder(), dir.path() + QStringLiteral("app/files/"));
            EXPECT_TRUE(platform::faultFired());
        }
        EXPECT_EQ(vek::filesfolder(), dir.path() + QStringLiteral("shared/"));
    }
}
