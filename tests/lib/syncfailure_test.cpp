// A written list whose flush to the disk fails is no saved list: the save
// reports the failure and the previous file stays as it was.
#include "lib/textlists.h"
#include "libguards.h"
#include "platform/faultinjection.h"
#include "testsupport.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace vek;
using testsupport::entries;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

TEST(SyncFailure, ASaveWhoseFlushFailsKeepsThePreviousFile)
{
    const testsupport::RetryWaitScope noWait;
    QStringList big;
    for (int i = 0; i <= kSafeReplaceThreshold; ++i)
        big.append(QString::number(i));
    const struct {
        const char* what;
        const char* name;
        QStringList list;
        int nth;  // which flush fails
    } cases[] = {
        {"work file renamed over the list", "list.txt", {"new"}, 1},
        {"large csv: its work file", "big.csv", big, 1},
        // The work file is complete and renamed; flushing it again before it
        // takes the target's place fails.
        {"large csv: before the keep-copy", "big.csv", big, 2},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const QString target = dir.file(QString::fromLatin1(c.name));
        writeFile(target, "previous\r\n");
        {
            const testsupport::FaultScope fault;
            platform::injectFault(platform::FaultOp::Sync, c.nth, EIO);
            EXPECT_FALSE(savelist(c.list, target)) << c.what;
            EXPECT_TRUE(platform::faultFired()) << c.what;
        }
        EXPECT_EQ(readFile(target), "previous\r\n") << c.what;
        EXPECT_EQ(entries(dir.path()), QStringList{QString::fromLatin1(c.name)}) << c.what;
    }
}
