// Installing a downloaded program with its generations: all or nothing at
// every step, the download removed only once the new file stands, the
// installation notice and the install record in both logs.
#include "faultpoints.h"
#include "generationscenarios.h"
#include "lib/generations.h"
#include "lib/stamps.h"
#include "lib/sysutils.h"
#include "lib/texts.h"
#include "platform/filemode.h"
#include "update/newsoftware.h"
#include "update/updateservice.h"
#include "updatefixture.h"
#include "web/protectstrings.h"

#include <cerrno>
#include <sys/stat.h>

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;
using updatetest::sentArgument;

using testsupport::Folder;
using testsupport::Scenario;
using testsupport::snapshot;

namespace {

Scenario scenario(const char* what, const QByteArray& current, const QList<int>& generations)
{
    return testsupport::generationscenario(what, current, generations, "new version");
}

const Scenario kScenarios[] = {
    scenario("full chain", "current", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
    scenario("chain with gaps", "current", {1, 3, 10}),
    scenario("current only", "current", {}),
    scenario("first install", "", {}),
};

class InstallTest : public updatetest::UpdateFixture {
protected:
    QString downloads() const { return dir.file("downloads/"); }
    QString live() const { return dir.file("live/"); }
    void setUpFolders(const Folder& before) const
    {
        QDir(live()).removeRecursively();
        QDir().mkpath(live());
        for (auto it = before.begin(); it != before.end(); ++it)
            writeFile(live() + it.key(), it.value());
        QDir().mkpath(downloads());
        writeFile(downloads() + "Stock.exe", "new version");
    }
};

}  // namespace

TEST_F(InstallTest, TheNewFileStandsWithTheChainShiftedAndTheDownloadIsRemoved)
{
    for (const Scenario& sc : kScenarios) {
        SCOPED_TRACE(sc.what);
        setUpFolders(sc.before);
        tnewsoftware updater;
        EXPECT_TRUE(updater.installnewsoftware(downloads(), live(), "Stock.exe", QString(), "a|b", "site"))
            << updater.errorstr.toStdString();
        EXPECT_EQ(snapshot(live()), sc.after);
        EXPECT_FALSE(QFile::exists(downloads() + "Stock.exe"));
    }
    EXPECT_TRUE(service.requests().isEmpty()) << "no notice without a recipient";
    // Only the install record, one per install.
    const QStringList lines = logLines(dataLog());
    ASSERT_EQ(lines.size(), 4 * 4 + 1);
    EXPECT_TRUE(lines[0].endsWith(" " + localaddress()));
    EXPECT_EQ(lines.mid(1, 3), (QStringList{"Updated Stock.exe", "a|b", ""}));
    EXPECT_EQ(logLines(filesLog()), lines);
}

TEST_F(InstallTest, EveryFailurePointLeavesTheLiveFolderAsItWasAndTheDownloadInPlace)
{
    testsupport::FaultScope faults;
    int total = 0;
    for (const Scenario& sc : kScenarios) {
        int failures = 0;
        const int points = testsupport::forEachFaultPoint(
            [&](const testsupport::FaultPoint& point, testsupport::FaultSwitch& fault) {
                setUpFolders(sc.before);
                tnewsoftware updater;
                fault.arm();
                const bool installed
                    = updater.installnewsoftware(downloads(), live(), "Stock.exe", QString(), QString(), QString());
                fault.disarm();
                const std::string where = std::string(sc.what) + ", " + testsupport::faultOpName(point.op) + " #"
                    + std::to_string(point.nth) + " errno " + std::to_string(point.err);
                if (installed) {
                    EXPECT_EQ(snapshot(live(), false), sc.after) << where;
                } else {
                    ++failures;
                    EXPECT_EQ(snapshot(live()), sc.before) << where;
                    EXPECT_EQ(readFile(downloads() + "Stock.exe"), "new version") << where;
                    EXPECT_TRUE(updater.errorstr.startsWith("Could not install Stock.exe")) << where;
                }
            },
            {EIO, ENOSPC});
        EXPECT_GT(failures, 0) << sc.what;
        total += points;
    }
    EXPECT_GT(total, 20);
}

TEST_F(InstallTest, AMissingDownloadIsNoInstallAndIsLoggedAsSuch)
{
    setUpFolders(kScenarios[0].before);
    QFile::remove(downloads() + "Stock.exe");
    tnewsoftware updater;
    EXPECT_FALSE(updater.installnewsoftware(downloads(), live(), "Stock.exe", "me@site.test", "x", QString()));
    EXPECT_EQ(snapshot(live()), kScenarios[0].before);
    EXPECT_TRUE(service.requests().isEmpty()) << "nothing installed, nothing to tell";
    const QStringList lines = logLines(dataLog());
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("Not updated Stock.exe Could not install Stock.exe")) << lines[1].toStdString();
}

TEST_F(InstallTest, TheInstallationNoticeIsSentAndLoggedBeforeTheRecord)
{
    setUpFolders(kScenarios[2].before);
    tnewsoftware updater;
    EXPECT_TRUE(updater.installnewsoftware(downloads(), live(), "Stock.exe", "me@site.test", "first|second", ""));
    const auto received = service.requests();
    ASSERT_EQ(received.size(), 1);
    const QString argument = sentArgument(received[0]);
    const QString head = "HSD=" + todayddmmyy()
        + "&user=VekInstaller&password=" + unprotectstring(kStoredServicePassword)
        + "&Email=me@site.test&Subject=Software Installation&From=updates@vendor.test&body64=";
    ASSERT_TRUE(argument.startsWith(head)) << argument.toStdString();
    EXPECT_EQ(QByteArray::fromBase64(argument.mid(head.size()).toLatin1()),
              widetobytes("The following was updated Stock.exe<br><br>first<br>second"));

    const QStringList lines = logLines(filesLog());
    ASSERT_EQ(lines.size(), 10 + 4 + 1);
    EXPECT_TRUE(lines[0].endsWith(" Install Software")) << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1, 9),
              (QStringList{"Email=me@site.test", "Subject=Software Installation", "From=updates@vendor.test",
                           "The following was updated Stock.exe", "", "first", "second", "Result=Mail sent", ""}));
    EXPECT_EQ(lines.mid(11, 3), (QStringList{"Updated Stock.exe", "first|second", ""}));
    EXPECT_FALSE(lines.join("\n").contains(unprotectstring(kStoredServicePassword)));
}

// The new version keeps the mode of the live file it replaces (a program
// stays runnable whatever mode the download has), 0755 for a program that is
// new; set-ID bits never travel, and the umask applies.
TEST_F(InstallTest, TheNewFileKeepsTheModeOfTheLiveFile)
{
    const mode_t umask = platform::processUmask();
    const struct {
        int live;  // -1: no live file yet
        int after;
    } cases[] = {{0755, 0755}, {0700, 0700}, {0644, 0644}, {06755, 0755}, {-1, 0755}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.live);
        setUpFolders(c.live >= 0 ? kScenarios[2].before : kScenarios[3].before);
        ASSERT_EQ(::chmod(QFile::encodeName(downloads() + "Stock.exe").constData(), 0644), 0);
        if (c.live >= 0) {
            ASSERT_EQ(::chmod(QFile::encodeName(live() + "Stock.exe").constData(), static_cast<mode_t>(c.live)), 0);
        }
        tnewsoftware updater;
        ASSERT_TRUE(updater.installnewsoftware(downloads(), live(), "Stock.exe", QString(), QString(), QString()))
            << updater.errorstr.toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(live() + "Stock.exe").constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(c.after) & ~umask);
    }
}
