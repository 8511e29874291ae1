// Whole-file writes and moves, failed at every step in turn: nothing is ever
// left truncated, and a failure is never reported as success.
#include "faultpoints.h"
#include "lib/fileops.h"
#include "lib/textlists.h"
#include "libguards.h"
#include "platform/inifile.h"
#include "testsupport.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using testsupport::FaultPoint;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

const std::initializer_list<int> kErrnos = {EIO, ENOSPC, EACCES, EXDEV};

std::string describe(const FaultPoint& p)
{
    return std::string(testsupport::faultOpName(p.op)) + " #" + std::to_string(p.nth) + " errno "
        + std::to_string(p.err);
}

QByteArray linesOf(const QStringList& list)
{
    QByteArray out;
    for (const QString& s : list)
        out += s.toLatin1() + "\r\n";
    return out;
}

QStringList numbered(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("line %1").arg(i));
    return list;
}

class LibFaultPoints : public ::testing::Test {
protected:
    testsupport::RetryWaitScope noWait;
};

}  // namespace

TEST_F(LibFaultPoints, SavelistReplacesWholeOrNotAtAll)
{
    for (const int items : {3, 10001}) {
        const QStringList list = numbered(items);
        const QByteArray fresh = linesOf(list);
        const int points = testsupport::forEachFaultPoint(
            [&](const FaultPoint& p, testsupport::FaultSwitch& fault) {
                ScratchDir dir;
                const QString target = dir.file("list.csv");
                writeFile(target, "previous\r\n");
                fault.arm();
                const bool saved = vek::savelist(list, target);
                fault.disarm();
                const QByteArray now = readFile(target);
                if (saved) {
                    // A keep-copy that could not be deleted at the end may stay; the next save removes it.
                    EXPECT_EQ(now, fresh) << describe(p);
                    QStringList left = testsupport::entries(dir.path());
                    if (left.removeAll("list.csv.$save")) {
                        EXPECT_EQ(readFile(target + vek::kKeepCopySuffix), "previous\r\n") << describe(p);
                    }
                    EXPECT_EQ(left, QStringList{"list.csv"}) << describe(p);
                } else if (QFile::exists(target)) {
                    EXPECT_TRUE(now == "previous\r\n" || now == fresh) << describe(p);
                } else {
                    // Between the two renames: the previous version waits in the keep-copy.
                    EXPECT_EQ(readFile(target + vek::kKeepCopySuffix), "previous\r\n") << describe(p);
                    EXPECT_EQ(readFile(target + vek::kWorkFileSuffix), fresh) << describe(p);
                }
            },
            kErrnos);
        std::printf("savelist of %d items: %d failure points tried\n", items, points);
        EXPECT_GT(points, 8);
    }
}

TEST_F(LibFaultPoints, IniWritesReplaceWholeOrNotAtAll)
{
    const int points = testsupport::forEachFaultPoint(
        [&](const FaultPoint& p, testsupport::FaultSwitch& fault) {
            ScratchDir dir;
            writeFile(dir.file("s.ini"), "[A]\nx=1\n");
            platform::IniFile ini(dir.file("s.ini"));
            fault.arm();
            const int rc = ini.writeString("A", "x", "2");
            fault.disarm();
            EXPECT_EQ(readFile(dir.file("s.ini")), rc == 0 ? "[A]\nx=2\n" : "[A]\nx=1\n") << describe(p);
            EXPECT_EQ(testsupport::entries(dir.path()), QStringList{"s.ini"}) << describe(p);
        },
        kErrnos);
    std::printf("ini write: %d failure points tried\n", points);
    EXPECT_GT(points, 8);
}

TEST_F(LibFaultPoints, BlockmoveKeepsTheSourceUnlessTheCopyIsComplete)
{
    const QByteArray content(3 * 1024 * 1024, 'c');
    const int points = testsupport::forEachFaultPoint(
        [&](const FaultPoint& p, testsupport::FaultSwitch& fault) {
            ScratchDir dir;
            writeFile(dir.file("src"), content);
            fault.arm();
            const int rc = vek::blockmove(dir.file("src"), dir.file("dst"));
            fault.disarm();
            if (QFile::exists(dir.file("src"))) {
                EXPECT_EQ(readFile(dir.file("src")), content) << describe(p);
            }
            if (rc == 0) {
                EXPECT_FALSE(QFile::exists(dir.file("src"))) << describe(p);
                EXPECT_EQ(readFile(dir.file("dst")), content) << describe(p);
            } else {
                EXPECT_TRUE(QFile::exists(dir.file("src")) || readFile(dir.file("dst")) == content) << describe(p);
            }
        },
        kErrnos);
    std::printf("blockmove: %d failure points tried\n", points);
    EXPECT_GT(points, 8);
}
