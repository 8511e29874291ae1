// A redirection file that is there but cannot be read keeps the folders it
// records: the recording run does not put its one line in their place.
#include "faultpoints.h"
#include "installer/recordfilesdir.h"
#include "platform/faultinjection.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

TEST(RecordUnreadable, AFileThatCannotBeReadIsNotReplaced)
{
    ScratchDir dir;
    const QString folder = dir.path() + "new", file = dir.path() + "filesdir.txt";
    QDir().mkpath(folder);
    const QByteArray recorded = "/srv/one\r\n/srv/two\r\n";
    const struct {
        platform::FaultOp op;
        int err;
    } faults[] = {{platform::FaultOp::Read, EIO}, {platform::FaultOp::Open, EACCES}};
    for (const auto& f : faults) {
        writeFile(file, recorded);
        {
            const testsupport::FaultScope fault;
            platform::injectFault(f.op, 1, f.err);
            EXPECT_TRUE(recordfilesdir(folder, file));
            EXPECT_TRUE(platform::faultFired());
        }
        EXPECT_EQ(readFile(file), recorded) << testsupport::faultOpName(f.op);
    }
    // Readable again, the folder goes on top of the others.
    EXPECT_TRUE(recordfilesdir(folder, file));
    EXPECT_EQ(readFile(file), (folder + "\r\n").toUtf8() + recorded);
}
