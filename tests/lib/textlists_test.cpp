#include "lib/textlists.h"
#include "libguards.h"
#include "platform/faultinjection.h"
#include "testsupport.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    ScratchDir dir;
    QStringList warnings;
    testsupport::RetryWaitScope noWait;
    testsupport::WarningCallScope collectWarnings{
        [this](const QString& message, const QString& title) { warnings.append(title + u'|' + message); }};
};

}  // namespace

TEST_F(TextLists, SaveAndLoadRoundTripInTheCodePageWithCrLf)
{
    const QStringList list{QStringLiteral("caf\u00E9 \u20AC5"), QString(), QStringLiteral("last")};
    EXPECT_TRUE(savelist(list, dir.file("l.txt")));
    EXPECT_EQ(readFile(dir.file("l.txt")),
              QByteArray("caf\xE9 \x80"
                         "5\r\n\r\nlast\r\n"));
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

    writeFile(dir.file("utf8.txt"),
              "\xEF\xBB\xBF"
              "caf\xC3\xA9\r\nx\r\n");
    loadlist(list, dir.file("utf8.txt"));
    EXPECT_EQ(list, (QStringList{QStringLiteral("caf\u00E9"), "x"}));
    // Line by line the mark selects UTF-8 as well.
    loadlines(&list, dir.file("utf8.txt"));
    EXPECT_EQ(list, (QStringList{QStringLiteral("caf\u00E9"), "x"}));

    writeFile(dir.file("utf16.txt"),
              QByteArray("\xFF\xFE"
                         "a\0\r\0\n\0b\0",
                         10));
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
    const testsupport::CurrentFolderScope current(dir.path());
    writeFile(dir.file("httpd.log"), "local\r\n");
    writeFile(dir.file("h"), "h\r\n");
    QStringList list;
    loadlist(list, QStringLiteral("httpd.log"));
    EXPECT_EQ(list, QStringList{"local"});
    loadlines(&list, QStringLiteral("h"));
    EXPECT_EQ(list, QStringList{"h"});
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
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Rename, 2, EACCES);
        EXPECT_FALSE(savelist(numbered(10001), target));
    }
    EXPECT_EQ(readFile(target), "previous\r\n");
    QStringList work;
    loadlist(work, target + kWorkFileSuffix);
    EXPECT_EQ(work.size(), 10001);
}

TEST_F(TextLists, AFailedWriteLeavesThePreviousFileWhole)
{
    const QString target = dir.file("list.txt");
    writeFile(target, "previous\r\n");
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Write, 1, ENOSPC);
        EXPECT_FALSE(savelist(numbered(5), target));
    }
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
        {"f.oma", "R=1", true},  {"f.OMA", "R=1", true},  {"f.iso", "R=", true},
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

namespace {

// What a user meets in a folder: whether they may create files in it, and
// whether the list file there is theirs to write. Root ignores both, so the
// save runs as an unprivileged user (testsupport::runAsUnprivilegedUser).
struct Permissions {
    bool folderWritable;
    bool fileWritable;
};

// Sets up `name` holding `previous` in a folder with those permissions, and
// returns the file's path.
QString placeFile(const ScratchDir& dir, const Permissions& p, const QString& name, const QByteArray& previous)
{
    testsupport::openFolderToEveryone(dir.path());
    const QString folder = dir.file(QStringLiteral("shared"));
    QDir().mkpath(folder);
    const QString target = folder + u'/' + name;
    writeFile(target, previous);
    const QByteArray path = QFile::encodeName(target);
    if (::chown(path.constData(), testsupport::kNobody, testsupport::kNobody) != 0 && ::geteuid() == 0)
        ADD_FAILURE() << "chown";
    ::chmod(path.constData(), p.fileWritable ? 0644 : 0444);
    ::chmod(QFile::encodeName(folder).constData(), p.folderWritable ? 0777 : 0555);
    return target;
}

// The folder's entries, once it is open again for the scratch folder to go.
QStringList reopenAndList(const QString& target)
{
    const QString folder = QFileInfo(target).path();
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    return entries(folder);
}

}  // namespace

// A file made read-only is refused as openwrite refuses it; the rename of the
// safe write must not go around that.
TEST_F(TextLists, SavelistLeavesAFileTheUserMadeReadOnly)
{
    const struct {
        const char* name;
        int items;
        bool folderWritable;
    } cases[] = {{"list.txt", 3, true}, {"big.csv", 10001, true}, {"list.txt", 3, false}};
    for (const auto& c : cases) {
        ScratchDir here;
        const QString name = QString::fromLatin1(c.name);
        const QString target = placeFile(here, {c.folderWritable, false}, name, "previous\r\n");
        const int status = testsupport::runAsUnprivilegedUser([&] { return !savelist(numbered(c.items), target); });
        EXPECT_EQ(status, 0) << c.name << ' ' << c.folderWritable;
        EXPECT_EQ(readFile(target), "previous\r\n") << c.name;
        EXPECT_EQ(reopenAndList(target), QStringList{name}) << c.name;
    }
}

// A shared folder the administrator keeps closed, holding a list file its
// users may write: no work file can be made beside it, so it is rewritten in
// place; where a work file can be made the safe write goes on as before.
TEST_F(TextLists, SavelistRewritesInPlaceWhereNoWorkFileCanBeMade)
{
    const struct {
        const char* name;
        int items;
        bool folderWritable;
    } cases[] = {{"list.txt", 3, false}, {"big.csv", 10001, false}, {"list.txt", 3, true}, {"big.csv", 10001, true}};
    for (const auto& c : cases) {
        ScratchDir here;
        const QString name = QString::fromLatin1(c.name);
        const QByteArray longer(200000, 'p');  // the new content is shorter: nothing of this may stay
        const QString target = placeFile(here, {c.folderWritable, true}, name, longer);
        const QStringList list = numbered(c.items);
        const int status = testsupport::runAsUnprivilegedUser([&] { return savelist(list, target); });
        EXPECT_EQ(status, 0) << c.name << ' ' << c.folderWritable;
        QStringList back;
        loadlist(back, target);
        EXPECT_EQ(back, list) << c.name;
        EXPECT_EQ(QFileInfo(target).ownerId(), ::geteuid() == 0 ? testsupport::kNobody : ::geteuid()) << c.name;
        EXPECT_EQ(reopenAndList(target), QStringList{name}) << c.name;
    }
}

// Only a work file the folder refuses sends the save in place (the file keeps
// its inode); any other failure to make it is tried again as the safe write.
TEST_F(TextLists, SavelistGoesInPlaceOnlyWhenTheWorkFileIsRefused)
{
    const QString target = dir.file("list.txt");
    const QStringList list = numbered(4);
    const struct {
        int err;
        bool inPlace;
    } cases[] = {{EACCES, true}, {EPERM, true}, {ENOSPC, false}, {EIO, false}};
    for (const auto& c : cases) {
        writeFile(target, "previous\r\n");
        const auto inode = [&] {
            struct stat st {};
            ::stat(QFile::encodeName(target).constData(), &st);
            return st.st_ino;
        };
        const ino_t before = inode();
        // The first open is the check that the target takes writes, the second the work file's.
        {
            const testsupport::FaultScope fault;
            platform::injectFault(platform::FaultOp::Open, 2, c.err);
            EXPECT_TRUE(savelist(list, target)) << c.err;
            EXPECT_TRUE(platform::faultFired());
        }
        QStringList back;
        loadlist(back, target);
        EXPECT_EQ(back, list) << c.err;
        EXPECT_EQ(inode() == before, c.inPlace) << c.err;
        EXPECT_EQ(entries(dir.path()), QStringList{"list.txt"});
    }
}

// A list the code page cannot hold is written as UTF-8 behind a byte-order
// mark instead of losing its letters to "?"; one it can hold stays in the
// code page byte for byte. Every reader takes either back as written.
TEST_F(TextLists, ListsTheCodePageCannotHoldAreWrittenAsMarkedUtf8)
{
    const struct {
        QStringList list;
        QByteArray bytes;
    } cases[] = {
        {{QStringLiteral("/srv/\u0391\u03C1\u03C7\u03B5\u03AF\u03B1"), QStringLiteral("caf\u00E9")},
         "\xEF\xBB\xBF/srv/\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xB1\r\ncaf\xC3\xA9\r\n"},
        {{QStringLiteral("\u6587\u4EF6")}, "\xEF\xBB\xBF\xE6\x96\x87\xE4\xBB\xB6\r\n"},
        {{QStringLiteral("caf\u00E9 \u20AC"), QStringLiteral("\u00FF")}, "caf\xE9 \x80\r\n\xFF\r\n"},
        // A first line whose code-page bytes would read back as a byte-order mark.
        {{QStringLiteral("\u00EF\u00BB\u00BFx")}, "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFx\r\n"},
        {{QStringLiteral("\u00FF\u00FEx")}, "\xEF\xBB\xBF\xC3\xBF\xC3\xBEx\r\n"},
    };
    for (const auto& c : cases) {
        const QString target = dir.file("l.txt");
        EXPECT_TRUE(savelist(c.list, target));
        EXPECT_EQ(readFile(target), c.bytes) << c.list.join(u'|').toStdString();
        QStringList back;
        loadlist(back, target);
        EXPECT_EQ(back, c.list);
        loadlines(&back, target);
        EXPECT_EQ(back, c.list);
        textfile f;
        ASSERT_TRUE(openread(f, target));
        QString first;
        EXPECT_TRUE(f.readline(first));
        EXPECT_EQ(first, c.list.front());
    }
}

// Whether the code page will do is found out while writing: a letter it
// lacks in the last item of a list longer than many writes still makes the
// whole file marked UTF-8, and an item longer than a write goes whole.
TEST_F(TextLists, TheLastItemStillDecidesTheEncodingOfTheWholeFile)
{
    const QStringList fitting = numbered(20000) << QString(100000, QChar(0x00E9));
    for (const QString& last : {QStringLiteral("caf\u00E9"), QStringLiteral("\u0391")}) {
        const QStringList list = fitting + QStringList{last};
        const bool utf8 = !platform::fitsCodePage(last);
        const QString text = list.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        const QByteArray expected = utf8 ? platform::kUtf8Mark + text.toUtf8() : platform::toCodePage(text);
        const QString target = dir.file("l.txt");
        ASSERT_TRUE(savelist(list, target));
        EXPECT_EQ(readFile(target), expected) << utf8;
        EXPECT_EQ(entries(dir.path()), QStringList{"l.txt"});
        QStringList back;
        loadlist(back, target);
        EXPECT_EQ(back, list);
    }
}

// Appending keeps one encoding in the file: lines join a marked file as
// UTF-8, and a code-page file that must take letters it cannot hold is
// turned into marked UTF-8 first.
TEST_F(TextLists, AppendingKeepsTheFileInOneEncoding)
{
    const QString greek = QStringLiteral("\u03A9\u03BC\u03AD\u03B3\u03B1");
    const struct {
        QByteArray before;
        QStringList added;
        QByteArray after;
    } cases[] = {
        {"caf\xE9\r\n", {QStringLiteral("\u00E9t\u00E9")}, "caf\xE9\r\n\xE9t\xE9\r\n"},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\r\n",
         {QStringLiteral("\u00E9")},
         "\xEF\xBB\xBF"
         "caf\xC3\xA9\r\n\xC3\xA9\r\n"},
        {"caf\xE9\r\n",
         {greek},
         "\xEF\xBB\xBF"
         "caf\xC3\xA9\r\n\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1\r\n"},
        {"", {greek}, "\xEF\xBB\xBF\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1\r\n"},
    };
    for (const auto& c : cases) {
        for (const bool lines : {false, true}) {
            const QString target = dir.file("a.txt");
            QFile::remove(target);
            if (!c.before.isEmpty())
                writeFile(target, c.before);
            EXPECT_TRUE(lines ? appendlines(target, c.added) : appendlist(c.added, target));
            EXPECT_EQ(readFile(target), c.after) << c.added.join(u'|').toStdString() << ' ' << lines;
        }
    }
}

// loadlist reads a file a block of 1 MiB at a time: a line end (CR LF above
// all) or a line that straddles the end of a block must come back as from a
// file split whole.
TEST_F(TextLists, LinesAcrossTheReadBlocksComeBackWhole)
{
    constexpr qsizetype kBlock = 1 << 20;
    // The bytes from kBlock - 1 on, after kBlock - 1 bytes of "a".
    const QList<QByteArray> boundaries = {
        "\r\nb\r\n",  // CR | LF
        "\rb\r\n",  // CR | text
        "\r\r\nb",  // CR | CR LF
        "\n\r\nb\r",  // LF | CR LF, a CR ending the file
        "x\rb",  // text | CR
        "\r",  // a CR ending the block and the file
        "\n" + QByteArray(kBlock + 3, 'z'),  // a line across the next boundary
    };
    for (const QByteArray& boundary : boundaries) {
        const QByteArray bytes = QByteArray(kBlock - 1, 'a') + boundary;
        QStringList expected = QString::fromLatin1(bytes).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
        if (bytes.endsWith('\r') || bytes.endsWith('\n'))
            expected.removeLast();
        writeFile(dir.file("big.txt"), bytes);
        QStringList list;
        loadlist(list, dir.file("big.txt"));
        EXPECT_EQ(list, expected) << boundary.left(8).toStdString();
    }

    // A marked file longer than a block is decoded whole.
    writeFile(dir.file("marked.txt"), "\xEF\xBB\xBF" + QByteArray(kBlock, 'a') + "caf\xC3\xA9\r\nx");
    QStringList list;
    loadlist(list, dir.file("marked.txt"));
    EXPECT_EQ(list, (QStringList{QString(kBlock, u'a') + QStringLiteral("caf\u00E9"), "x"}));
}

// Where the save has to go in place, a full disk refuses it before the old
// lines are touched; an append that cannot be written says so.
TEST_F(TextLists, AFullDiskLosesNoLineAndIsNeverReportedAsSuccess)
{
    const QString target = dir.file("list.txt");
    writeFile(target, "previous\r\n");
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Open, 2, EACCES);  // the work file: in place then
        platform::addFault(platform::FaultOp::Write, 1, ENOSPC);  // reserving the new length
        EXPECT_FALSE(savelist(numbered(1000), target));
        EXPECT_TRUE(platform::faultFired());
    }
    EXPECT_EQ(readFile(target), "previous\r\n");
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Write, 1, ENOSPC);
        EXPECT_FALSE(appendlines(target, {"more"}));
    }
    EXPECT_EQ(readFile(target), "previous\r\n");
    EXPECT_TRUE(appendlines(target, {"more"}));
    EXPECT_EQ(readFile(target), "previous\r\nmore\r\n");
}

// A save through a symbolic link writes the file it leads to and leaves the
// link a link; a file that root saves for another user stays that user's,
// with its mode.
TEST_F(TextLists, ASaveKeepsLinksOwnersAndModes)
{
    QDir().mkpath(dir.file("real"));
    writeFile(dir.file("real/list.txt"), "old\r\n");
    ASSERT_EQ(::symlink("real/list.txt", QFile::encodeName(dir.file("list.txt")).constData()), 0);
    ASSERT_TRUE(savelist({"new"}, dir.file("list.txt")));
    EXPECT_TRUE(QFileInfo(dir.file("list.txt")).isSymLink());
    EXPECT_EQ(readFile(dir.file("real/list.txt")), "new\r\n");
    EXPECT_EQ(entries(dir.file("real")), QStringList{"list.txt"});

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root saves other users' files";
    const QByteArray theirs = QFile::encodeName(dir.file("theirs.txt"));
    writeFile(dir.file("theirs.txt"), "old\r\n");
    ASSERT_EQ(::chown(theirs.constData(), testsupport::kNobody, testsupport::kNobody), 0);
    ASSERT_EQ(::chmod(theirs.constData(), 0640), 0);
    ASSERT_TRUE(savelist({"new"}, dir.file("theirs.txt")));
    struct stat st {};
    ASSERT_EQ(::stat(theirs.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, testsupport::kNobody);
    EXPECT_EQ(st.st_gid, testsupport::kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(dir.file("theirs.txt")), "new\r\n");
}

// A list whose name is as long as the file system allows is saved: the work
// file beside it has a name of fixed length.
TEST_F(TextLists, AListWithTheLongestNameIsSaved)
{
    const QString target = dir.file(QString(250, u'l') + ".txt");
    ASSERT_TRUE(savelist({"one"}, target));
    ASSERT_TRUE(savelist({"two"}, target));
    EXPECT_EQ(readFile(target), "two\r\n");
    EXPECT_EQ(entries(dir.path()).size(), 1);
}
