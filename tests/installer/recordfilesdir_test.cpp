#include "installer/recordfilesdir.h"
#include "platform/runargs.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

void runWith(const QStringList& args)
{
    platform::setRunArguments(QStringList{QStringLiteral("/opt/TessarineInstaller")} + args);
}

}  // namespace

TEST(RecordFilesDir, RecordsNewFoldersAboveTheOldOnes)
{
    ScratchDir dir;
    const QString a = dir.path() + "A", b = dir.path() + "B", file = dir.path() + "filesdir.txt";
    QDir().mkpath(a);
    QDir().mkpath(b);
    for (const QString& folder : {a, b, a}) {
        runWith({"FILESDIRCONTENTS=" + folder, "FILESDIRNAME=" + file});
        EXPECT_TRUE(recordfilesdir());
    }
    EXPECT_EQ(readFile(file), (a + "\r\n" + b + "\r\n" + a + "\r\n").toUtf8());

    // The same folder in other letter case is not written again.
    runWith({"FILESDIRCONTENTS=" + a.toUpper(), "FILESDIRNAME=" + file});
    QDir().mkpath(a.toUpper());
    EXPECT_TRUE(recordfilesdir());
    EXPECT_EQ(readFile(file), (a + "\r\n" + b + "\r\n" + a + "\r\n").toUtf8());
}

TEST(RecordFilesDir, WritesNothingWithoutAnExistingFolderOrAFileName)
{
    ScratchDir dir;
    const QString file = dir.path() + "filesdir.txt";
    runWith({"FILESDIRCONTENTS=" + dir.path() + "missing", "FILESDIRNAME=" + file});
    EXPECT_TRUE(recordfilesdir());
    runWith({"FILESDIRCONTENTS=" + dir.path()});
    EXPECT_TRUE(recordfilesdir());
    EXPECT_FALSE(QFile::exists(file));
    runWith({"FILESDIRNAME=" + file});
    EXPECT_FALSE(recordfilesdir());
    runWith({"FILESDIRCONTENTS=", "FILESDIRNAME=" + file});
    EXPECT_FALSE(recordfilesdir());
    EXPECT_TRUE(testsupport::entries(dir.path()).isEmpty());
}
