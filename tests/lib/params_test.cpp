#include "lib/folders.h"
#include "lib/params.h"
#include "lib/textlists.h"
#include "libguards.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace vek;
using testsupport::ScratchDir;

namespace {

struct ParamCase {
    QStringList args;
    const char* name;
    bool found;
    const char* value;
};

class RunArgs : public ::testing::Test {
protected:
    void use(QStringList args, const QString& exe = QStringLiteral("/opt/tessarine/TessarineInstaller"))
    {
        args.prepend(exe);
        runArgs.set(args);
    }
    testsupport::RunArgumentsScope runArgs;
    testsupport::FilesFolderScope filesFolder;
};

}  // namespace

TEST_F(RunArgs, GetparamMatchesNamesWithoutCaseAndTheLastValueWins)
{
    const ParamCase cases[] = {
        {{"server=C:\\Apps\\"}, "SERVER", true, "C:\\Apps\\"},
        {{"install=MyProg.EXE"}, "INSTALL", true, "MyProg.EXE"},
        {{"SERVER =C:\\Apps"}, "SERVER", false, ""},
        {{"SERVERX=1"}, "SERVER", false, ""},
        {{"SERVER="}, "SERVER", true, ""},
        {{"SERVER"}, "server", true, ""},
        {{"X=a=b"}, "X", true, "a=b"},
        {{"SERVER=a", "SERVER=b"}, "SERVER", true, "b"},
        {{"SERVER=a", "SERVER"}, "SERVER", true, "a"},
        {{"LOCAL=  spaced value \t"}, "LOCAL", true, "spaced value"},
        {{"SERVER=a"}, "SERVER=", true, "a"},
        {{}, "SERVER", false, ""},
    };
    for (const ParamCase& c : cases) {
        use(c.args);
        QString value = QStringLiteral("stale");
        EXPECT_EQ(getparam(QString::fromLatin1(c.name), value), c.found) << c.args.join(u' ').toStdString();
        EXPECT_EQ(value, QString::fromLatin1(c.value)) << c.args.join(u' ').toStdString();
        EXPECT_EQ(isparam(QString::fromLatin1(c.name)), c.found);
    }
}

TEST(Folders, AddslashKeepsTheSeparatorRule)
{
    const struct {
        const char* path;
        QChar sep;
        const char* expected;
    } cases[] = {
        {"", u'\\', ""},
        {"C:\\A", u'\\', "C:\\A\\"},
        {"C:\\A/", u'\\', "C:\\A/"},
        {"C:\\A\\", u'\\', "C:\\A\\"},
        {"http://host/dir", u'\\', "http://host/dir/"},
        {"/srv/apps", u'/', "/srv/apps/"},
        {"plain", u'/', "plain/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(addslash(QString::fromLatin1(c.path), c.sep), QString::fromLatin1(c.expected)) << c.path;
}

TEST_F(RunArgs, ExefolderIsTheProgramFolderWithSeparator)
{
    use({}, QStringLiteral("/opt/tessarine/bin/TessarineInstaller"));
    EXPECT_EQ(exefolder(), QStringLiteral("/opt/tessarine/bin/"));
    EXPECT_EQ(exename(), QStringLiteral("/opt/tessarine/bin/TessarineInstaller"));
}

TEST_F(RunArgs, LocalfolderVariantsPlaceTheDataFolder)
{
    ScratchDir dir;
    use({QStringLiteral("LOCALFOLDER=") + dir.path() + QStringLiteral("Data/")});
    EXPECT_EQ(datafolder(), dir.path() + QStringLiteral("Data/Quorvane/"));
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("Data/Quorvane")).exists());
    EXPECT_EQ(configfolder(), dir.path() + QStringLiteral("Data/Quorvane/Config_files/"));
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("Data/Quorvane/Config_files")).exists());

    use({QStringLiteral("LOCALFOLDER=") + dir.path() + QStringLiteral("Data")});
    EXPECT_EQ(datafolder(), dir.path() + QStringLiteral("DataQuorvane/"));

    const testsupport::CurrentFolderScope current(dir.path());
    use({QStringLiteral("LOCALFOLDER")});
    EXPECT_EQ(datafolder(), QStringLiteral("Quorvane/"));
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("Quorvane")).exists());
}

// The program reads LOCALFOLDER once with its other parameters: what it
// settled stands, whatever the parameters say afterwards.
TEST_F(RunArgs, ASettledDataFolderBaseStandsOverTheParameters)
{
    ScratchDir dir;
    const testsupport::EnvironmentScope home("HOME", dir.path().toUtf8() + "home");
    use({QStringLiteral("LOCALFOLDER=") + dir.path() + QStringLiteral("Param/")});
    {
        const testsupport::DataFolderBaseScope settled(dir.path() + QStringLiteral("Settled/"));
        EXPECT_EQ(datafolder(), dir.path() + QStringLiteral("Settled/Quorvane/"));
    }
    {
        // Settled as not given: the documents folder, not the parameter's.
        const testsupport::DataFolderBaseScope none(std::nullopt);
        EXPECT_FALSE(datafolder().startsWith(dir.path() + QStringLiteral("Param"))) << datafolder().toStdString();
        EXPECT_TRUE(datafolder().startsWith(dir.path() + QStringLiteral("home/"))) << datafolder().toStdString();
    }
    // Unsettled again: the parameter counts.
    EXPECT_EQ(datafolder(), dir.path() + QStringLiteral("Param/Quorvane/"));
}

TEST_F(RunArgs, DatafolderPrefersTheSharedFolderOnlyWhenThePersonalOneIsMissing)
{
    ScratchDir dir;
    const testsupport::EnvironmentScope home("HOME", dir.path().toUtf8() + "home");
    const testsupport::EnvironmentScope shared("XDG_DATA_DIRS", dir.path().toUtf8() + "shared");
    QDir().mkpath(dir.path() + QStringLiteral("home/Documents"));
    QDir().mkpath(dir.path() + QStringLiteral("shared/Quorvane"));
    use({});

    EXPECT_EQ(datafolder(), dir.path() + QStringLiteral("shared/Quorvane/"));
    QDir().mkpath(dir.path() + QStringLiteral("home/Documents/Quorvane"));
    EXPECT_EQ(datafolder(), dir.path() + QStringLiteral("home/Documents/Quorvane/"));
}

TEST_F(RunArgs, FilesfolderFollowsTheRedirectionFileOnceAndCachesIt)
{
    ScratchDir dir;
    const QString exe = dir.path() + QStringLiteral("app/TessarineInstaller");
    use({}, exe);
    // No "files" folder: its would-be path.
    EXPECT_EQ(filesfolder(), dir.path() + QStringLiteral("app/files/"));

    filesFolder.reset();
    QDir().mkpath(dir.path() + QStringLiteral("app/files"));
    QDir().mkpath(dir.path() + QStringLiteral("shared"));
    testsupport::writeFile(dir.path() + QStringLiteral("app/files/filesdir.txt"),
                           dir.path().toUtf8() + "missing\r\nForward=x\r\n");
    EXPECT_EQ(filesfolder(), dir.path() + QStringLiteral("app/files/"));

    filesFolder.reset();
    testsupport::writeFile(dir.path() + QStringLiteral("app/files/filesdir.txt"),
                           dir.path().toUtf8() + "shared\r\nForward=x\r\n");
    EXPECT_EQ(filesfolder(), dir.path() + QStringLiteral("shared/"));

    // Later changes are not seen by this process.
    testsupport::writeFile(dir.path() + QStringLiteral("app/files/filesdir.txt"), "/nowhere\r\n");
    EXPECT_EQ(filesfolder(), dir.path() + QStringLiteral("shared/"));
}

// A files folder named with letters outside ASCII: written in the code page
// where it fits, as marked UTF-8 where it does not, and found either way.
TEST_F(RunArgs, FilesfolderReadsTheRedirectionFileInEitherEncoding)
{
    ScratchDir dir;
    use({}, dir.path() + QStringLiteral("app/TessarineInstaller"));
    QDir().mkpath(dir.path() + QStringLiteral("app/files"));
    const QString redirection = dir.path() + QStringLiteral("app/files/filesdir.txt");
    const struct {
        QString folder;
        QByteArray line1;
    } cases[] = {
        {QStringLiteral("D\u00E9p\u00F4t"), "D\xE9p\xF4t"},
        {QStringLiteral("\u0391\u03C1\u03C7\u03B5\u03AF\u03B1"), "\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xB1"},
        {QStringLiteral("\u5171\u6709"), "\xE5\x85\xB1\xE6\x9C\x89"},
    };
    for (const auto& c : cases) {
        const QString folder = dir.path() + c.folder;
        ASSERT_TRUE(QDir().mkpath(folder));
        // As the recording run writes it.
        ASSERT_TRUE(savelist({folder, QStringLiteral("Forward=x")}, redirection));
        const bool fits = c.folder.at(1).unicode() < 0x100;
        EXPECT_EQ(testsupport::readFile(redirection),
                  (fits ? QByteArray() : QByteArray("\xEF\xBB\xBF")) + QFile::encodeName(dir.path()) + c.line1
                      + "\r\nForward=x\r\n");
        filesFolder.reset();
        EXPECT_EQ(filesfolder(), folder + u'/') << c.line1.toStdString();
    }
}

TEST(Folders, TempfolderIsTheFamilyFolderInTheSystemTemp)
{
    ScratchDir dir;
    const testsupport::EnvironmentScope temp("TMPDIR", dir.path().toUtf8());
    EXPECT_EQ(tempfolder(), dir.path() + QStringLiteral("Quorvane/"));
    EXPECT_FALSE(QDir(tempfolder()).exists());
    maketempfolder();
    EXPECT_TRUE(QDir(tempfolder()).exists());

    // A TMPDIR naming no folder leaves the system's own, never the current folder.
    const testsupport::EnvironmentScope gone("TMPDIR", (dir.path() + "gone").toUtf8());
    EXPECT_EQ(tempfolder(), QStringLiteral("/tmp/Quorvane/"));
}
