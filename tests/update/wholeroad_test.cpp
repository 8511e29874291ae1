// The whole road as a program of the family takes it: the service reports a
// newer file, it is downloaded from the vendor's host, installed with its
// generations, and both logs tell what happened.
#include "lib/stamps.h"
#include "lib/webtext.h"
#include "platform/inifile.h"
#include "update/newsoftware.h"
#include "update/updateservice.h"
#include "updatefixture.h"
#include "web/protectstrings.h"
#include "web/vekpost.h"
#include "web/websettings.h"

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
    vendor->offer("Stock.exe.md5", TVekPost::HashFile(dir.file("version2")).toLatin1());
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

// The road again with every password a log could catch: the proxy's (through
// a real proxy that asks for it), a user and password in the vendor's address,
// the service password of the notices, and certificates unchecked. Every log
// written (the day's transfer log, both updater logs) is looked through.
TEST_F(WholeRoadTest, NoLogHoldsAPasswordInAnyForm)
{
    webtest::TinyProxy proxy(QStringLiteral("alice"), QStringLiteral("s3cretPw"));
    ASSERT_TRUE(proxy.start()) << proxy.output().toStdString();
    const QString settings = proxysettingsfile();
    ASSERT_EQ(platform::IniFile(settings).writeString(kProxySection, kProxyHostKey, "127.0.0.1"), 0);
    ASSERT_EQ(platform::IniFile(settings).writeString(kProxySection, kProxyPortKey, QString::number(proxy.port())), 0);
    ASSERT_EQ(platform::IniFile(settings).writeString(kProxySection, kProxyUserKey, "alice"), 0);
    ASSERT_EQ(platform::IniFile(settings).writeString(kProxySection, kProxyPassKey, protectstring("s3cretPw")), 0);
    ASSERT_EQ(platform::IniFile(settings).writeString(kTlsSection, kTlsVerifyKey, "0"), 0);
    pointAt(vendor->url().replace("://", "://bob:s3cret@"));

    localFile("Stock.exe", "version 1", QDateTime(QDate(2023, 6, 1), QTime(9, 0)));
    service.reply("Stock.exe.reply", urlencode("Stock.exe=1|05/03/2024 10:11:12|2.0", false, false).toLatin1());
    vendor->offer("Stock.exe", "version 2");
    testsupport::WarningCallScope warnings(
        [](const QString& message, const QString&) { ADD_FAILURE() << "warning: " << message.toStdString(); });
    tnewsoftware updater;
    ASSERT_TRUE(updater.checknewsoftware(local() + "Stock.exe", QString(), nullptr)) << updater.errorstr.toStdString();
    ASSERT_TRUE(updater.getnewsoftware(local() + "download", "Stock.exe", QString(), "admin@site.test", "notes"));
    ASSERT_TRUE(updater.installnewsoftware(local() + "download", local(), "Stock.exe", "admin@site.test", "v2", {}));
    EXPECT_EQ(readFile(local() + "Stock.exe"), "version 2");

    const QString transferLog = datafolder() + "VekPost/" + todayday() + ".vekpost.log";
    for (const QString& log : {transferLog, dataLog(), filesLog()})
        EXPECT_FALSE(readFile(log).isEmpty()) << log.toStdString() << " was written";
    EXPECT_TRUE(QString::fromUtf8(readFile(transferLog)).contains("http://***@127.0.0.1"));
    EXPECT_EQ(webtest::secretsInLogs(dir.path()), QStringList());
}
