// The list readers tell a file that is not there from one that could not be
// read, and neither hands back part of a file.
#include "lib/textlists.h"
#include "libguards.h"
#include "platform/faultinjection.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

using namespace vek;
using platform::ReadError;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

using Reader = std::function<ReadError(QStringList&, const QString&)>;

struct NamedReader {
    const char* name;
    Reader read;
};

const NamedReader kReaders[] = {
    {"readlist", [](QStringList& l, const QString& n) { return readlist(l, n); }},
    {"readlines", [](QStringList& l, const QString& n) { return readlines(l, n); }},
};

// A list longer than one chunk of the line reader, so a read can fail part way.
QByteArray manyLines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    return bytes;
}

class ListReads : public ::testing::Test {
protected:
    ScratchDir dir;
    testsupport::RetryWaitScope noWait;
    testsupport::FaultScope faults;
};

}  // namespace

TEST_F(ListReads, EachReaderSaysWhyItsListIsEmpty)
{
    writeFile(dir.file("list.txt"), "a\r\nb\r\n");
    QDir().mkpath(dir.file("folder.txt"));
    const struct {
        const char* what;
        QString name;
        platform::FaultOp op;  // Count: no fault
        int nth;
        ReadError expected;
        QStringList lines;
    } cases[] = {
        {"readable", dir.file("list.txt"), platform::FaultOp::Count, 0, ReadError::None, {"a", "b"}},
        {"missing", dir.file("none.txt"), platform::FaultOp::Count, 0, ReadError::NotExist, {}},
        {"missing folder", dir.file("gone/none.txt"), platform::FaultOp::Count, 0, ReadError::NotExist, {}},
        {"a folder", dir.file("folder.txt"), platform::FaultOp::Count, 0, ReadError::Failed, {}},
        {"read fails", dir.file("list.txt"), platform::FaultOp::Read, 1, ReadError::Failed, {}},
        {"web address, nothing had",
         QStringLiteral("https://example.invalid/list.txt"),
         platform::FaultOp::Count,
         0,
         ReadError::Failed,
         {}},
    };
    for (const NamedReader& reader : kReaders) {
        for (const auto& c : cases) {
            const testsupport::FaultScope fault;
            if (c.op != platform::FaultOp::Count)
                platform::injectFault(c.op, c.nth, EIO);
            QStringList list{"stale"};
            EXPECT_EQ(reader.read(list, c.name), c.expected) << reader.name << ": " << c.what;
            EXPECT_EQ(list, c.lines) << reader.name << ": " << c.what;
        }
    }
}

TEST_F(ListReads, AReadFailingPartWayGivesNoLinesAtAll)
{
    // The line reader takes the file in chunks; the second read fails. The
    // family's loadlines gave the lines before it, so a caller saving the list
    // back cut the file short.
    const QString name = dir.file("long.txt");
    writeFile(name, manyLines(20000));
    for (const NamedReader& reader : kReaders) {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Read, 2, EIO);
        QStringList list;
        EXPECT_EQ(reader.read(list, name), ReadError::Failed) << reader.name;
        EXPECT_TRUE(platform::faultFired()) << reader.name;
        EXPECT_TRUE(list.isEmpty()) << reader.name << ' ' << list.size();
    }
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Read, 2, EIO);
        QStringList lines{"stale"};
        loadlines(&lines, name);
        EXPECT_TRUE(lines.isEmpty()) << lines.size();
    }

    QStringList all;
    EXPECT_EQ(readlines(all, name), ReadError::None);
    EXPECT_EQ(all.size(), 20000);
}

TEST_F(ListReads, AnOpenThatFailsOnceIsTriedAgainByTheLineReader)
{
    writeFile(dir.file("list.txt"), "a\r\n");
    platform::injectFault(platform::FaultOp::Open, 1, EACCES);
    QStringList list;
    EXPECT_EQ(readlines(list, dir.file("list.txt")), ReadError::None);
    EXPECT_EQ(list, QStringList{"a"});
}

TEST_F(ListReads, AWebAddressReadsThroughTheDownloadCall)
{
    const testsupport::DownloadCallScope download([](QStringList& list, const QString&) {
        list = QStringList{"x", "y"};
        return true;
    });
    for (const NamedReader& reader : kReaders) {
        QStringList list;
        EXPECT_EQ(reader.read(list, QStringLiteral("http://host/list.txt")), ReadError::None) << reader.name;
        EXPECT_EQ(list, (QStringList{"x", "y"})) << reader.name;
    }
}
