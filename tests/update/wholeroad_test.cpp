// The whole road as a program of the family takes it: the service reports a
// newer file, it is downloaded from the vendor's host, installed with its
// generations, and both logs tell what happened.
#include "lib/stamps.h"
#include "lib/webtext.h"
#include "update/newsoftware.h"
#include "update/updateservice.h"
#include "updatefixture.h"
#include "web/protectstrings.h"
#include "web/vekpost.h"

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;

namespace {
class WholeRoadTest : public updatetest::UpdateFixture {};
}  // namespace

TEST_F(WholeRoadTest, ANewerProgramIsFoundDownloadedInstalledAndLogged)
{
    localFile("Stock.exe", "version 1", QDateTime(QDate(2023, 6, 1), QTime(9, 0)));
    writeFile(local() + "Stock.exe.X01", "version 0");
    service.reply("Stock.exe.reply", urlencode("Stock.exe=1|05/03/2024 10:11:12|2.0", false, false).toLatin1());
    const QByteArray version2 = webtest::documentBytes(100000, 2);
    writeFile(dir.file("version2"), version2);
    vendor->offer("Stock.exe", version2);
    vendor->offer("Stock.md5", TVekPost::HashFile(dir.file("version2")).toLatin1());
    testsupport::WarningCallScope warnings(
        [](const QString& message, const QString&) { ADD_FAILURE() << "warning: " << message.toStdString(); });

    tnewsoftware updater;
    ASSERT_TRUE(updater.checknewsoftware(local() + "Stock.exe", QString(), nullptr)) << updater.errorstr.toStdString();
    ASSERT_EQ(updater.toinstalllist, QStringList{"Stock.exe=1|05/03/2024 10:11:12|2.0"});
    const QString name = updater.toinstalllist[0].section(u'=', 0, 0);
    const QString downloads = local() + "download";
    ASSERT_TRUE(updater.getnewsoftware(downloads, name, QString(), "admin@site.test", "Nightly"));
    ASSERT_TRUE(updater.installnewsoftware(downloads, local(), name, "admin@site.test", "Version 2.0", QString()));

    EXPECT_EQ(readFile(local() + "Stock.exe"), version2);
    EXPECT_EQ(readFile(local() + "Stock.exe.X01"), "version 1");
    EXPECT_EQ(readFile(local() + "Stock.exe.X02"), "version 0");
    EXPECT_FALSE(QFile::exists(downloads + "/Stock.exe"));
    EXPECT_EQ(service.requests().size(), 3) << "the check and the two notices";

    for (const QString& log : {dataLog(), filesLog()}) {
        const QString text = QString::fromUtf8(readFile(log));
        SCOPED_TRACE(log.toStdString());
        const qsizetype downloaded = text.indexOf("Subject=Software Download");
        const qsizetype installed = text.indexOf("Subject=Software Installation");
        const qsizetype record = text.indexOf("\r\nUpdated Stock.exe\r\nVersion 2.0\r\n");
        EXPECT_GE(downloaded, 0);
        EXPECT_GT(installed, downloaded);
        EXPECT_GT(record, installed);
        EXPECT_TRUE(text.contains("and placed in " + downloads + "/Stock.exe"));
        EXPECT_FALSE(text.contains(unprotectstring(kStoredServicePassword)));
    }
}
