// Keeping the installer program current and starting it: a check that fails
// leaves nothing started, and says why.
#include "lib/stamps.h"
#include "lib/webtext.h"
#include "platform/controls/tstdctrls.h"
#include "update/newsoftware.h"
#include "updatefixture.h"

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

class KeepInstallerTest : public updatetest::UpdateFixture {
protected:
    QString installer() const { return local() + kInstallerProgram; }
    testsupport::WarningCallScope quiet{[](const QString&, const QString&) {}};
};

}  // namespace

TEST_F(KeepInstallerTest, ACurrentInstallerIsLeftAsItIs)
{
    localFile(kInstallerProgram, "installer", QDateTime(QDate(2099, 1, 1), QTime(0, 0)));
    service.reply("default.reply", urlencode("VekInstaller.exe=1|05/03/2024 10:11:12", false, false).toLatin1());
    platform::TLabel label;
    tnewsoftware updater;
    EXPECT_TRUE(updater.CheckInstaller(local(), &label));
    EXPECT_TRUE(vendor->asked().isEmpty());
    EXPECT_EQ(readFile(installer()), "installer");
    EXPECT_TRUE(label.caption().isEmpty());
}

TEST_F(KeepInstallerTest, AMissingInstallerIsDownloadedAndInstalledWithItsGenerations)
{
    vendor->offer(kInstallerProgram, "installer 2");
    tnewsoftware updater;
    EXPECT_TRUE(updater.CheckInstaller(local(), nullptr)) << updater.errorstr.toStdString();
    EXPECT_EQ(readFile(installer()), "installer 2");
    EXPECT_FALSE(QFile::exists(local() + "new/" + kInstallerProgram));

    // An older one is replaced and kept as the first generation.
    localFile(kInstallerProgram, "installer 2", QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    service.reply("default.reply", urlencode("VekInstaller.exe=1|05/03/2024 10:11:12", false, false).toLatin1());
    vendor->offer(kInstallerProgram, "installer 3");
    EXPECT_TRUE(updater.CheckInstaller(local(), nullptr)) << updater.errorstr.toStdString();
    EXPECT_EQ(readFile(installer()), "installer 3");
    EXPECT_EQ(readFile(installer() + ".X01"), "installer 2");
}

TEST_F(KeepInstallerTest, TheInstallerIsNotStartedWhenTheCheckFailed)
{
    // The vendor has no installer to offer, and none is here.
    platform::TLabel label;
    tnewsoftware updater;
    EXPECT_FALSE(updater.CheckInstaller(local(), &label));
    EXPECT_TRUE(label.caption().startsWith(kCannotSaveDownload)) << label.caption().toStdString();

    EXPECT_FALSE(updater.LaunchInstaller(local() + "Stock.exe", &label));
    EXPECT_TRUE(updater.errorstr.startsWith("The installer was not started: " + kCannotSaveDownload))
        << updater.errorstr.toStdString();
    EXPECT_EQ(label.caption(), updater.errorstr);
    EXPECT_FALSE(QFile::exists(installer()));

    // The vendor offers one whose digest does not match: nothing is installed
    // or started, the old installer stays.
    writeFile(installer(), "old installer");
    service.reply("default.reply", urlencode("VekInstaller.exe=1|05/03/2099 10:11:12", false, false).toLatin1());
    vendor->offer(kInstallerProgram, "tampered");
    vendor->offer("VekInstaller.exe.md5", "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_FALSE(updater.LaunchInstaller(local() + "Stock.exe", &label));
    EXPECT_TRUE(updater.errorstr.contains(kDigestMismatch)) << updater.errorstr.toStdString();
    EXPECT_EQ(readFile(installer()), "old installer");
}
