// The files folder: a redirection file that cannot be read now is read again
// by a later call, instead of the default being kept for the rest of the run.
#include "lib/folders.h"
#include "platform/faultinjection.h"
#include "platform/runargs.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

using testsupport::ScratchDir;

TEST(RedirectionRead, AnUnreadableRedirectionFileIsNotTakenAsNoneForGood)
{
    ScratchDir dir;
    platform::setRunArguments({dir.path() + QStringLiteral("app/TessarineInstaller")});
    QDir().mkpath(dir.path() + QStringLiteral("app/files"));
    QDir().mkpath(dir.path() + QStringLiteral("shared"));
    testsupport::writeFile(dir.path() + QStringLiteral("app/files/filesdir.txt"), dir.path().toUtf8() + "shared\r\n");
    for (const platform::FaultOp op : {platform::FaultOp::Open, platform::FaultOp::Read}) {
        vek::resetfilesfoldercache();
        platform::injectFault(op, 1, EIO);
        EXPECT_EQ(vek::filesfolder(), dir.path() + QStringLiteral("app/files/"));
        EXPECT_TRUE(platform::faultFired());
        platform::clearFaults();
        EXPECT_EQ(vek::filesfolder(), dir.path() + QStringLiteral("shared/"));
    }
    platform::setRunArguments({QStringLiteral("/opt/tessarine/TessarineInstaller")});
    vek::resetfilesfoldercache();
}
