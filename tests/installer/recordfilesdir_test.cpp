#include "installer/recordfilesdir.h"
#include "installer/runrequest.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

// A recording run with these parameters, as the program body reads them.
bool recordWith(const QStringList& args)
{
    const installer::RunRequest run
        = installer::parseRunRequest(QStringList{QStringLiteral("/opt/TessarineInstaller")} + args);
    return recordfilesdir(run.filesDirContents, run.filesDirName);
}

}  // namespace

TEST(RecordFilesDir, RecordsNewFoldersAboveTheOldOnes)
{
    ScratchDir dir;
    const QString a = dir.path() + "A", b = dir.path() + "B", file = dir.path() + "filesdir.txt";
    QDir().mkpath(a);
    QDir().mkpath(b);
    for (const QString& folder : {a, b, a}) {
        EXPECT_TRUE(recordWith({"FILESDIRCONTENTS=" + folder, "FILESDIRNAME=" + file}));
    }
    EXPECT_EQ(readFile(file), (a + "\r\n" + b + "\r\n" + a + "\r\n").toUtf8());

    // The same folder in other letter case is not written again.
    QDir().mkpath(a.toUpper());
    EXPECT_TRUE(recordWith({"FILESDIRCONTENTS=" + a.toUpper(), "FILESDIRNAME=" + file}));
    EXPECT_EQ(readFile(file), (a + "\r\n" + b + "\r\n" + a + "\r\n").toUtf8());
}

TEST(RecordFilesDir, WritesNothingWithoutAnExistingFolderOrAFileName)
{
    ScratchDir dir;
    const QString file = dir.path() + "filesdir.txt";
    EXPECT_TRUE(recordWith({"FILESDIRCONTENTS=" + dir.path() + "missing", "FILESDIRNAME=" + file}));
    EXPECT_TRUE(recordWith({"FILESDIRCONTENTS=" + dir.path()}));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(recordWith({"FILESDIRNAME=" + file}));
    EXPECT_FALSE(recordWith({"FILESDIRCONTENTS=", "FILESDIRNAME=" + file}));
    EXPECT_TRUE(testsupport::entries(dir.path()).isEmpty());
}
