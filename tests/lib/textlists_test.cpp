#include "lib/messagehook.h"
#include "lib/retrywait.h"
#include "lib/textlists.h"
#include "platform/faultinjection.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using namespace vek;
using testsupport::entries;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

QStringList numbered(int count)
{
    QStringList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("row%1;%2").arg(i).arg(i * 7));
    return list;
}

class TextLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        setretrywaitlimit(0);
        setwarningcall([this](const QString& message, const QString& title) { warnings.append(title + u'|' + message); });
    }
    void TearDown() override
    {
        setwarningcall(nullptr);
        setretrywaitlimit(1000);
        platform::clearFaults();
    }
    ScratchDir dir;
    QStringList warnings;
};

}  // namespace

TEST_F(TextLists, SaveAndLoadRoundTripInTheCodePageWithCrLf)
{
    const QStringList list{QStringLiteral("caf\u00E9 \u20AC5"), QString(), QStringLiteral("last")};
    EXPECT_TRUE(savelist(list, dir.file("l.txt")));
    EXPECT_EQ(readFile(dir.file("l.txt")), QByteArray("caf\xE9 \x80" "5\r\n\r\nlast\r\n"));
    QStringList back{"stale"};
    loadlist(back, dir.file("l.txt"));
    EXPECT_EQ(back, list);
    QStringList lines;
    loadlines(&lines, dir.file("l.txt"));
    EXPECT_EQ(lines, list);
    EXPECT_EQ(entries(dir.path()), QStringList{"l.txt"});  // no work file left behind
}

TEST_F(TextLists, LoadingAcceptsEveryLineEndAndByteOrderMark)
{
    writeFile(dir.file("ends.txt"), "a\rb\nc\r\nd");
    QStringList list;
    loadlist(list, dir.file("ends.txt"));
    EXPECT_EQ(list, (QStringList{"a", "b", "c", "d"}));
    loadlines(&list, dir.file("ends.txt"));
    EXPECT_EQ(list, (QStringList{"a", "b", "c", "d"}));

    writeFile(dir.file("utf8.txt"), "\xEF\xBB\xBF" "caf\xC3\xA9\r\nx\r\n");
    loadlist(list, dir.file("utf8.txt"));
    EXPECT_EQ(list, (QStringList{QStringLiteral("caf\u00E9"), "x"}));
    // Line by line only the mark goes; the rest stays in the code page.
    loadlines(&list, dir.file("utf8.txt"));
    EXPECT_EQ(list, (QStringList{QStringLiteral("caf\u00C3\u00A9"), "x"}));

    writeFile(dir.file("utf16.txt"), QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0", 10));
    loadlist(list, dir.file("utf16.txt"));
    EXPECT_EQ(list, (QStringList{"a", "b"}));
}

TEST_F(TextLists, MissingFilesAndWebAddressesWithoutDownloaderGiveEmptyLists)
{
    QStringList list{"stale"};
    loadlist(list, dir.file("missing.txt"));
    EXPECT_TRUE(list.isEmpty());
    list = QStringList{"stale"};
    loadlines(&list, dir.file("missing.txt"));
    EXPECT_TRUE(list.isEmpty());
    loadlines(nullptr, dir.file("missing.txt"));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(TextLists, OnlyHttpAndHttpsAddressesAreWebAddresses)
{
    // A local file whose name begins with "http" is a file, not an address.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    writeFile(dir.file("httpd.log"), "local\r\n");
    writeFile(dir.file("h"), "h\r\n");
    QStringList list;
    loadlist(list, QStringLiteral("httpd.log"));
    EXPECT_EQ(list, QStringList{"local"});
    loadlines(&list, QStringLiteral("h"));
    EXPECT_EQ(list, QStringList{"h"});
    QDir::setCurrent(previous);
}

TEST_F(TextLists, LargeCsvFilesGoThroughTheWorkFileAndLeaveNothingBehind)
{
    const struct {
        int items;
        const char* name;
    } cases[] = {{10000, "big.csv"}, {10001, "big.csv"}, {10001, "BIG.CSV"}, {10001, "big.txt"}};
    for (const auto& c : cases) {
        ScratchDir here;
        const QString target = here.file(QString::fromLatin1(c.name));
        writeFile(target, "previous\r\n");
        const QStringList list = numbered(c.items);
        EXPECT_TRUE(savelist(list, target));
        EXPECT_EQ(entries(here.path()), QStringList{QString::fromLatin1(c.name)}) << c.items << c.name;
        QStringList back;
        loadlist(back, target);
        EXPECT_EQ(back, list);
    }
}

TEST_F(TextLists, SafeReplaceKeepsThePreviousVersionWhenTheNewOneCannotBePlaced)
{
    const QString target = dir.file("big.csv");
    writeFile(target, "previous\r\n");
    // The work file is written, then renaming the target to its keep-copy fails.
    platform::injectFault(platform::FaultOp::Rename, 2, EACCES);
    EXPECT_FALSE(savelist(numbered(10001), target));
    platform::clearFaults();
    EXPECT_EQ(readFile(target), "previous\r\n");
    QStringList work;
    loadlist(work, target + kWorkFileSuffix);
    EXPECT_EQ(work.size(), 10001);
}

TEST_F(TextLists, AFailedWriteLeavesThePreviousFileWhole)
{
    const QString target = dir.file("list.txt");
    writeFile(target, "previous\r\n");
    platform::injectFault(platform::FaultOp::Write, 1, ENOSPC);
    EXPECT_FALSE(savelist(numbered(5), target));
    platform::clearFaults();
    EXPECT_EQ(readFile(target), "previous\r\n");
    EXPECT_EQ(entries(dir.path()), QStringList{"list.txt"});
}

TEST_F(TextLists, OmaAndIsoFilesWithAnRLineWarnAfterWriting)
{
    const struct {
        const char* name;
        const char* line;
        bool warns;
    } cases[] = {
        {"f.oma", "R=1", true}, {"f.OMA", "R=1", true}, {"f.iso", "R=", true},
        {"f.oma", "r=1", false}, {"f.txt", "R=1", false}, {"f.oma", "xR=1", false},
    };
    for (const auto& c : cases) {
        warnings.clear();
        const QString target = dir.file(QString::fromLatin1(c.name));
        EXPECT_TRUE(savelist({QStringLiteral("a"), QString::fromLatin1(c.line)}, target));
        EXPECT_TRUE(QFile::exists(target));
        EXPECT_EQ(warnings, c.warns ? QStringList{QStringLiteral("|Saving OMA file as a text file")} : QStringList{})
            << c.name << ' ' << c.line;
    }
}

TEST_F(TextLists, SaveToAnUnwritableFolderFailsQuietly)
{
    EXPECT_FALSE(savelist({QStringLiteral("R=1")}, dir.file("no/folder/f.oma")));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(TextLists, AppendingCreatesOrExtends)
{
    EXPECT_TRUE(appendlist({}, dir.file("a.txt")));
    EXPECT_FALSE(QFile::exists(dir.file("a.txt")));
    EXPECT_TRUE(appendlist({"1", "2"}, dir.file("a.txt")));
    EXPECT_TRUE(appendlist({"3"}, dir.file("a.txt")));
    EXPECT_EQ(readFile(dir.file("a.txt")), "1\r\n2\r\n3\r\n");
    EXPECT_FALSE(appendlist({"x"}, dir.file("no/folder/a.txt")));

    EXPECT_TRUE(appendlines(dir.file("b.txt"), {}));
    EXPECT_TRUE(QFile::exists(dir.file("b.txt")));
    EXPECT_TRUE(appendlines(dir.file("b.txt"), {"x"}));
    EXPECT_EQ(readFile(dir.file("b.txt")), "x\r\n");
    EXPECT_FALSE(appendlines(dir.file("no/folder/b.txt"), {"x"}));
}

TEST_F(TextLists, TextFilesReadAndWriteLineByLine)
{
    textfile f;
    EXPECT_FALSE(openread(f, dir.file("missing")));
    EXPECT_EQ(f.lasterror(), 2);
    ASSERT_TRUE(openwrite(f, dir.file("t.txt"), false));
    const QString longLine(200000, u'z');
    EXPECT_TRUE(f.writeline(QStringLiteral("one")));
    EXPECT_TRUE(f.writeline(longLine));
    EXPECT_TRUE(closetext(f));
    ASSERT_TRUE(openwrite(f, dir.file("t.txt"), true));
    EXPECT_TRUE(f.writeline(QStringLiteral("three")));
    EXPECT_TRUE(closetext(f));

    ASSERT_TRUE(openread(f, dir.file("t.txt")));
    QString line;
    QStringList got;
    while (f.readline(line))
        got.append(line);
    EXPECT_TRUE(closetext(f));
    EXPECT_EQ(got, (QStringList{QStringLiteral("one"), longLine, QStringLiteral("three")}));

    EXPECT_FALSE(openwrite(f, dir.file("no/folder/t.txt"), false));
}
