#include "lib/fileops.h"
#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/libformat.h"
#include "platform/result.h"
#include "platform/winerror.h"
#include "stateguards.h"
#include "testsupport.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vek;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

QByteArray bytesOf(const QString& path)
{
    return platform::encodePath(path);
}

// Reads through the file layer, which takes every name the listing gives.
QByteArray readThroughFileLayer(const QString& path)
{
    platform::RawFile f;
    QByteArray bytes(4096, 0);
    qint64 got = 0;
    if (f.open(path, platform::OpenMode::Read) != 0 || f.read(bytes.data(), bytes.size(), &got) != 0)
        return {};
    bytes.truncate(got);
    return bytes;
}

// Names of a folder's entries as the disk holds them, "." and ".." left out.
QList<QByteArray> rawEntries(const QString& folder)
{
    QList<QByteArray> names;
    if (DIR* d = ::opendir(bytesOf(folder).constData())) {
        while (const dirent* e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(d);
    }
    return names;
}

// A file and the other names that lead to it: spelled with "./" and "../",
// a symbolic link and a hard link.
struct OneFileManyNames {
    ScratchDir dir;
    QString file;
    QDateTime modified = QDateTime(QDate(2022, 3, 4), QTime(5, 6, 8));
    QByteArray content = QByteArray(100000, 'p');

    OneFileManyNames() : file(dir.file("prog.exe"))
    {
        QDir().mkpath(dir.file("sub"));
        writeFile(file, content);
        QFile f(file);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(modified, QFileDevice::FileModificationTime);
        ::symlink("prog.exe", bytesOf(dir.file("link.exe")).constData());
        ::link(bytesOf(file).constData(), bytesOf(dir.file("hard.exe")).constData());
    }

    QStringList otherNames() const
    {
        return {dir.path() + "./prog.exe", dir.file("sub/../prog.exe"), dir.file("link.exe"), dir.file("hard.exe")};
    }

    bool untouched() const
    {
        return readFile(file) == content && QFileInfo(file).lastModified() == modified
            && QFileInfo(dir.file("link.exe")).isSymLink() && readFile(dir.file("hard.exe")) == content;
    }
};

}  // namespace

TEST(Findfiles, ListsPatternAfterPatternWithSizesAndDates)
{
    ScratchDir dir;
    writeFile(dir.file("b.txt"), "12345");
    writeFile(dir.file("a.lang"), "1");
    writeFile(dir.file("c.LANG"), "");
    writeFile(dir.file(".hidden.lang"), "x");
    writeFile(dir.file("other.bin"), "x");
    QDir().mkpath(dir.file("folder.lang"));
    const QDateTime when(QDate(2024, 9, 5), QTime(14, 3, 23));
    QFile f(dir.file("b.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    f.close();

    QStringList names, sizes, dates;
    EXPECT_EQ(findfiles(dir.path(), QStringLiteral("*.lang;*.txt"), &names, &sizes, &dates), 0);
    ASSERT_EQ(names.size(), 3);
    QStringList firstTwo = names.mid(0, 2);
    firstTwo.sort();
    EXPECT_EQ(firstTwo, (QStringList{"a.lang", "c.LANG"}));  // case ignored, dot files and folders left out
    EXPECT_EQ(names[2], QStringLiteral("b.txt"));
    EXPECT_EQ(sizes[2], QStringLiteral("5"));
    // Directory listings report times to the even second.
    EXPECT_EQ(dates[2],
              QLocale::c().toString(when.addSecs(-1), platform::libformat().shortDateFormat) + u' '
                  + QStringLiteral("14:03:22"));
    EXPECT_EQ(sizes.size(), names.size());
    EXPECT_EQ(dates.size(), names.size());
}

TEST(Findfiles, NoMatchGivesOneAndEmptyListsAndNoNamesListGivesMinusOne)
{
    ScratchDir dir;
    writeFile(dir.file("a.txt"), "x");
    QStringList names{"stale"}, sizes{"stale"};
    EXPECT_EQ(findfiles(dir.path(), QStringLiteral("*.exe"), &names, &sizes), 1);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(sizes.isEmpty());
    EXPECT_EQ(findfiles(dir.path() + QStringLiteral("missing"), QStringLiteral("*.txt"), &names), 1);
    EXPECT_EQ(findfiles(dir.path(), QStringLiteral("*.txt"), nullptr), -1);
}

// A folder that cannot be read is a failure with its code and the folder
// named, never an empty listing; an empty folder is an empty listing.
TEST(Listfolderfiles, SaysWhyItReadNothing)
{
    ScratchDir dir;
    writeFile(dir.file("plain.txt"), "x");
    QDir().mkpath(dir.file("empty"));
    const struct {
        QString folder;
        int code;
    } cases[] = {
        {dir.file("missing"), platform::winerr::PathNotFound},
        {dir.file("plain.txt"), platform::winerr::PathNotFound},  // a file where the folder should be
        {dir.file("empty"), 0},
    };
    for (const auto& c : cases) {
        const platform::Result<FolderFiles> listed = listfolderfiles(c.folder, QStringLiteral("*"));
        EXPECT_EQ(listed.code(), c.code) << c.folder.toStdString();
        if (c.code == 0) {
            EXPECT_TRUE(listed.ok() && listed.value().names.isEmpty()) << c.folder.toStdString();
        } else {
            EXPECT_FALSE(listed.ok());
            EXPECT_TRUE(listed.message().contains(c.folder)) << listed.message().toStdString();
        }
    }
}

// A folder the user may not list: the reader says "access denied" and names
// the folder the patterns lead into, while the family's findfiles goes on with
// the folders it can read and keeps its "none found" for the unreadable one.
TEST(Listfolderfiles, AnUnlistableFolderIsAccessDenied)
{
    ScratchDir dir;
    testsupport::openFolderToEveryone(dir.path());
    writeFile(dir.file("top.exe"), "x");
    QDir().mkpath(dir.file("closed"));
    writeFile(dir.file("closed/inner.exe"), "x");
    ::chmod(bytesOf(dir.file("closed")).constData(), 0311);  // may be entered, not listed
    const QString patterns = QStringLiteral("closed/*.exe;*.exe");
    const int status = testsupport::runAsUnprivilegedUser([&] {
        const platform::Result<FolderFiles> listed = listfolderfiles(dir.path(), patterns);
        QStringList names;
        const int found = findfiles(dir.path(), patterns, &names);
        const platform::Result<FolderFiles> closed = listfolderfiles(dir.file("closed"), QStringLiteral("*.exe"));
        return !listed.ok() && listed.code() == platform::winerr::AccessDenied
            && listed.message().contains(dir.file("closed/")) && found == 0 && names == QStringList{"top.exe"}
        && closed.code() == platform::winerr::AccessDenied
            && findfiles(dir.file("closed"), QStringLiteral("*.exe"), &names) == 1 && names.isEmpty();
    });
    ::chmod(bytesOf(dir.file("closed")).constData(), 0755);
    EXPECT_EQ(status, 0);
    // Readable again, both agree.
    const platform::Result<FolderFiles> listed = listfolderfiles(dir.path(), patterns);
    ASSERT_TRUE(listed.ok()) << listed.message().toStdString();
    EXPECT_EQ(listed.value().names, (QStringList{"inner.exe", "top.exe"}));
}

TEST(Findfiles, ListsReadOnlyFiles)
{
    ScratchDir dir;
    writeFile(dir.file("ro.exe"), "x");
    QFile::setPermissions(dir.file("ro.exe"), QFileDevice::ReadOwner);
    QStringList names;
    EXPECT_EQ(findfiles(dir.path(), QStringLiteral("*.exe"), &names), 0);
    EXPECT_EQ(names, QStringList{"ro.exe"});
}

TEST(Findfiles, SplitsPatternsWithQuotesAndEmptyPieces)
{
    EXPECT_EQ(splitpatterns(QStringLiteral("*.a;*.b")), (QStringList{"*.a", "*.b"}));
    EXPECT_EQ(splitpatterns(QStringLiteral("*.a;;*.b;")), (QStringList{"*.a", "", "*.b"}));
    EXPECT_EQ(splitpatterns(QStringLiteral("\"a;b*\";c")), (QStringList{"a;b*", "c"}));
    EXPECT_EQ(splitpatterns(QStringLiteral("*.exe")), QStringList{"*.exe"});
}

TEST(FileOps, ResultCodesFromRealFiles)
{
    ScratchDir dir;
    writeFile(dir.file("a"), "A");
    writeFile(dir.file("b"), "B");
    EXPECT_EQ(filecopy(dir.file("missing"), dir.file("nowhere")), 2);
    EXPECT_EQ(filecopy(dir.file("a"), dir.file("no/such/folder/a")), 3);
    EXPECT_EQ(renamefile(dir.file("a"), dir.file("b")), 183);
    EXPECT_EQ(readFile(dir.file("b")), "B");
    EXPECT_EQ(removefile(dir.file("missing")), 2);
    EXPECT_EQ(removefile(dir.file("no/such/x")), 3);
    EXPECT_EQ(blockcopy(dir.file("missing"), dir.file("c")), 2);
    EXPECT_FALSE(QFile::exists(dir.file("c")));
    if (!runningAsRoot()) {
        QDir().mkpath(dir.file("locked"));
        QFile::setPermissions(dir.file("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(filecopy(dir.file("a"), dir.file("locked/a")), 5);
    }
}

TEST(FileOps, FilecopyFailsWhenAnExistingDestinationCannotBeOverwritten)
{
    // The old destination still being there is no success.
    ScratchDir dir;
    writeFile(dir.file("new"), "new");
    QDir().mkpath(dir.file("target"));  // a name that cannot be overwritten by a file
    EXPECT_NE(filecopy(dir.file("new"), dir.file("target")), 0);
    // A folder and a destination refused for writing (every open after the
    // source's fails as a write-protected file would, also for root).
    writeFile(dir.file("old"), "old");
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Open, 2, EACCES);
        for (const int nth : {3, 4})
            platform::addFault(platform::FaultOp::Open, nth, EACCES);
        EXPECT_EQ(filecopy(dir.file("new"), dir.file("old")), 5);
    }
    EXPECT_EQ(readFile(dir.file("old")), "old");
}

TEST(FileOps, FilecopyKeepsContentModeAndTime)
{
    ScratchDir dir;
    writeFile(dir.file("prog.exe"), QByteArray(300000, 'x'));
    QFile::setPermissions(dir.file("prog.exe"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QDateTime when(QDate(2023, 1, 2), QTime(3, 4, 6));
    {
        QFile f(dir.file("prog.exe"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(when, QFileDevice::FileModificationTime);
    }
    writeFile(dir.file("copy.exe"), "old and longer than nothing");
    EXPECT_EQ(filecopy(dir.file("prog.exe"), dir.file("copy.exe")), 0);
    EXPECT_EQ(readFile(dir.file("copy.exe")), QByteArray(300000, 'x'));
    EXPECT_TRUE(QFileInfo(dir.file("copy.exe")).isExecutable());
    EXPECT_EQ(QFileInfo(dir.file("copy.exe")).lastModified(), when);
}

TEST(FileOps, BlockcopyAndBlockmove)
{
    ScratchDir dir;
    writeFile(dir.file("same"), "keep");
    EXPECT_EQ(blockcopy(dir.file("same"), dir.file("same")), -1);
    EXPECT_EQ(readFile(dir.file("same")), "keep");
    // Letter case tells names apart on this platform: "SAME" is another file.
    EXPECT_EQ(blockcopy(dir.file("same"), dir.file("SAME")), 0);
    EXPECT_EQ(readFile(dir.file("SAME")), "keep");
    EXPECT_EQ(blockmove(dir.file("SAME"), dir.file("Same")), 0);
    EXPECT_EQ(readFile(dir.file("Same")), "keep");
    EXPECT_FALSE(QFile::exists(dir.file("SAME")));
    EXPECT_EQ(readFile(dir.file("same")), "keep");

    writeFile(dir.file("empty"), "");
    EXPECT_EQ(blockcopy(dir.file("empty"), dir.file("empty2")), 0);
    EXPECT_TRUE(QFile::exists(dir.file("empty2")));
    EXPECT_EQ(QFileInfo(dir.file("empty2")).size(), 0);

    const QByteArray big(3 * 1024 * 1024 + 17, 'q');
    writeFile(dir.file("big"), big);
    writeFile(dir.file("dest"), "old");
    EXPECT_EQ(blockmove(dir.file("big"), dir.file("dest")), 0);
    EXPECT_EQ(readFile(dir.file("dest")), big);
    EXPECT_FALSE(QFile::exists(dir.file("big")));

    EXPECT_EQ(blockmove(dir.file("dest"), dir.file("no/folder/x")), 3);
    EXPECT_TRUE(QFile::exists(dir.file("dest")));
}

TEST(FileOps, RemoveAndRenameTrimTheOldName)
{
    ScratchDir dir;
    writeFile(dir.file("a.txt"), "A");
    EXPECT_EQ(renamefile(QStringLiteral("  ") + dir.file("a.txt") + QStringLiteral(" \t"), dir.file("b.txt")), 0);
    EXPECT_EQ(readFile(dir.file("b.txt")), "A");
    EXPECT_EQ(removefile(u' ' + dir.file("b.txt") + u' '), 0);
    EXPECT_FALSE(QFile::exists(dir.file("b.txt")));
}

TEST(FileOps, FileinfoAndFiledatetext)
{
    ScratchDir dir;
    writeFile(dir.file("Prog.exe"), "12345678");
    qint64 size = -1;
    QDateTime date;
    EXPECT_EQ(fileinfo(dir.file("prog.EXE"), size, date), 0);  // letter case ignored
    EXPECT_EQ(size, 8);
    EXPECT_TRUE(date.isValid());
    EXPECT_EQ(date.time().second() % 2, 0);
    EXPECT_EQ(fileinfo(dir.file("P*.exe"), size, date), 0);
    EXPECT_EQ(fileinfo(dir.file("missing.exe"), size, date), 2);
    EXPECT_EQ(size, 0);
    EXPECT_FALSE(date.isValid());
    QString text = QStringLiteral("stale");
    EXPECT_EQ(filedatetext(dir.file("missing.exe"), size, text), 2);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(filedatetext(dir.file("Prog.exe"), size, text), 0);
    EXPECT_FALSE(text.isEmpty());
}

TEST(FileOps, FilecopyOntoTheSameFileUnderAnyNameLeavesItAlone)
{
    OneFileManyNames one;
    for (const QString& other : QStringList{one.file} + one.otherNames()) {
        EXPECT_EQ(filecopy(one.file, other), 0) << other.toStdString();
        EXPECT_EQ(filecopy(other, one.file), 0) << other.toStdString();
        EXPECT_TRUE(one.untouched()) << other.toStdString();
    }
}

TEST(FileOps, BlockcopyAndBlockmoveRefuseTheSameFileUnderAnotherName)
{
    for (int i = 0; i < OneFileManyNames().otherNames().size(); ++i) {
        OneFileManyNames one;
        const QString other = one.otherNames()[i];
        EXPECT_EQ(blockcopy(one.file, other), -1) << other.toStdString();
        EXPECT_EQ(blockmove(one.file, other), -1) << other.toStdString();
        EXPECT_EQ(blockmove(other, one.file), -1) << other.toStdString();
        EXPECT_TRUE(one.untouched()) << other.toStdString();
        EXPECT_TRUE(QFileInfo::exists(other)) << other.toStdString();
    }
}

TEST(Findfiles, LiteralNamesFollowTheRulesOfPatterns)
{
    ScratchDir dir;
    const QStringList onDisk = {"a[1].exe", "b]x.exe", "c\\d.exe", QStringLiteral(u"\u00E4pfel.exe"), "x[ab].exe"};
    for (const QString& name : onDisk)
        writeFile(dir.file(name), name.toUtf8());
    const struct {
        QString given;
        QString found;  // empty: nothing
    } cases[] = {
        {"a[1].exe", "a[1].exe"},
        {"A[1].EXE", "a[1].exe"},
        {"B]X.exe", "b]x.exe"},
        {"C\\D.EXE", "c\\d.exe"},
        {QStringLiteral(u"\u00C4PFEL.EXE"), QStringLiteral(u"\u00E4pfel.exe")},
        {"xa.exe", ""},  // brackets are no set of letters
    };
    for (const auto& c : cases) {
        QStringList names;
        EXPECT_EQ(findfiles(dir.path(), c.given, &names), c.found.isEmpty() ? 1 : 0) << c.given.toStdString();
        EXPECT_EQ(names, c.found.isEmpty() ? QStringList() : QStringList{c.found}) << c.given.toStdString();
        qint64 size = -1;
        QDateTime date;
        EXPECT_EQ(fileinfo(dir.file(c.given), size, date), c.found.isEmpty() ? 2 : 0) << c.given.toStdString();
        EXPECT_EQ(size, c.found.toUtf8().size()) << c.given.toStdString();
    }
}

TEST(FileOps, NamesThatAreNotUtf8GoFromTheListingToTheInstallByteForByte)
{
    testsupport::InstallFolders folders;
    const QByteArray rawName("caf\xE9.exe");
    const int fd = ::open((bytesOf(folders.server()) + rawName).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "prog", 4), 4);
    ::close(fd);

    for (const QString& pattern : {QStringLiteral("*.exe"), QStringLiteral("CAF?.EXE")}) {
        QStringList names, sizes;
        EXPECT_EQ(findfiles(folders.server(), pattern, &names, &sizes), 0) << pattern.toStdString();
        ASSERT_EQ(names.size(), 1) << pattern.toStdString();
        EXPECT_EQ(sizes, QStringList{"4"});
        EXPECT_EQ(bytesOf(names[0]), rawName);

        EXPECT_EQ(filecopy(folders.server() + names[0], folders.local() + names[0]), 0);
        EXPECT_EQ(rawEntries(folders.local()), QList<QByteArray>{rawName});
        EXPECT_EQ(readThroughFileLayer(folders.local() + names[0]), "prog");
        qint64 size = 0;
        QDateTime date;
        // Not toUpper(): that turns the stray byte's stand-in into U+FFFD.
        const QString upper = QString(names[0]).replace("caf", "CAF").replace(".exe", ".EXE");
        EXPECT_EQ(fileinfo(folders.local() + upper, size, date), 0);
        EXPECT_EQ(size, 4);
        EXPECT_EQ(removefile(folders.local() + names[0]), 0);
    }
}

// A copy over an existing file that fails part way (a full disk) leaves the
// old file as it was: only a complete copy takes its place.
TEST(FileOps, AFailedFilecopyLeavesTheOldFileWhole)
{
    ScratchDir dir;
    writeFile(dir.file("new"), QByteArray(3 << 20, 'n'));
    writeFile(dir.file("old"), "old");
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Write, 1, ENOSPC);
        EXPECT_EQ(filecopy(dir.file("new"), dir.file("old")), 112);
    }
    EXPECT_EQ(readFile(dir.file("old")), "old");
    EXPECT_EQ(testsupport::entries(dir.path()), (QStringList{"new", "old"}));
    EXPECT_EQ(filecopy(dir.file("new"), dir.file("old")), 0);
    EXPECT_EQ(readFile(dir.file("old")), QByteArray(3 << 20, 'n'));
}
