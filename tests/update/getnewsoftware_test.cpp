// Downloading a program: only a complete download (and one that matches the
// server's digest, where it offers one) is put in place; the download notice
// and its log lines.
#include "lib/folders.h"
#include "lib/stamps.h"
#include "lib/sysutils.h"
#include "lib/texts.h"
#include "platform/controls/textctrls.h"
#include "update/newsoftware.h"
#include "update/updateservice.h"
#include "updatefixture.h"
#include "web/protectstrings.h"
#include "web/vekpost.h"

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;
using updatetest::sentArgument;

namespace {

class DownloadTest : public updatetest::UpdateFixture {
protected:
    QString target() const { return local() + "new/Stock.exe"; }
    QString download() const { return datafolder() + kUpdateDownloadName; }
    QStringList warnings;
    testsupport::WarningCallScope warningCall{[this](const QString& message, const QString& title) {
        EXPECT_TRUE(title.isEmpty());
        warnings.append(message);
    }};
};

}  // namespace

TEST_F(DownloadTest, ACompleteDownloadReplacesTheTarget)
{
    const QByteArray bytes = webtest::documentBytes(300000);
    vendor->offer("Stock.exe", bytes);
    QDir().mkpath(local() + "new");
    writeFile(target(), "old version");
    platform::TProgressBar bar;
    bar.setRange(0, 1);
    bar.setPosition(1);
    tnewsoftware updater;
    updater.AProgressbar = &bar;
    EXPECT_TRUE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
    EXPECT_EQ(readFile(target()), bytes);
    EXPECT_FALSE(QFile::exists(download()));
    EXPECT_EQ(bar.maximum(), bytes.size()) << "the bar counted the bytes";
    EXPECT_EQ(bar.position(), 0) << "and is back at the start";
    EXPECT_TRUE(updater.errorstr.isEmpty()) << updater.errorstr.toStdString();
    EXPECT_TRUE(warnings.isEmpty());
    // The file and then its digest file, which this server does not have.
    EXPECT_EQ(vendor->asked(), (QStringList{"/html/downloads/|Stock.exe", "/html/downloads/|Stock.md5"}));
    EXPECT_TRUE(service.requests().isEmpty()) << "no notice without a recipient";
}

TEST_F(DownloadTest, AFailedDownloadIsReportedAndLeavesTheTargetAsItWas)
{
    enum class Server { Vendor, Gone, Unframed };
    struct Case {
        const char* what;
        Server server;
    };
    // A whole body whose end only the closing connection shows.
    webtest::RawReplyServer unframed("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\npart of a program");
    for (const Case c : {Case{"the server has no such file", Server::Vendor}, Case{"no connection", Server::Gone},
                         Case{"a reply without its length", Server::Unframed}}) {
        SCOPED_TRACE(c.what);
        warnings.clear();
        QDir().mkpath(local() + "new");
        writeFile(target(), "old version");
        if (c.server == Server::Unframed)
            pointAt(unframed.url(QString()));
        if (c.server == Server::Gone) {
            int port = 0;
            {
                webtest::TestServer gone;
                ASSERT_TRUE(gone.start());
                port = gone.port();
            }
            pointAt(QStringLiteral("http://127.0.0.1:%1").arg(port));
        }
        tnewsoftware updater;
        EXPECT_FALSE(updater.getnewsoftware(local() + "new", "Stock.exe", "/web/", QString(), QString()));
        EXPECT_EQ(readFile(target()), "old version");
        EXPECT_FALSE(QFile::exists(download()));
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].startsWith("Cannot save downloaded file:" + target() + "\r\n" + download() + "\r\n2"))
            << warnings[0].toStdString();
        EXPECT_EQ(updater.errorstr, warnings[0]);
    }
}

TEST_F(DownloadTest, ADigestFileOfTheServerDecidesWhetherTheDownloadIsPlaced)
{
    const QByteArray bytes = webtest::documentBytes(5000);
    const QString digestFile = dir.file("digest.exe");
    writeFile(digestFile, bytes);
    vendor->offer("Stock.exe", bytes);
    vendor->offer("Stock.md5", TVekPost::HashFile(digestFile).toLower().toLatin1() + "\r\n");
    tnewsoftware updater;
    EXPECT_TRUE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
    EXPECT_EQ(readFile(target()), bytes);

    writeFile(target(), "old version");
    vendor->offer("Stock.md5", "0123456789ABCDEF0123456789ABCDEF\r\n");
    EXPECT_FALSE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
    EXPECT_EQ(readFile(target()), "old version");
    EXPECT_FALSE(QFile::exists(download()));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(kDigestMismatch + target())) << warnings[0].toStdString();
    EXPECT_EQ(updater.errorstr, warnings[0]);
}

TEST_F(DownloadTest, TheDownloadNoticeIsSentAndLoggedWithoutThePassword)
{
    vendor->offer("Stock.exe", "new version");
    service.reply("sendemail.reply", "Mail%20sent");
    tnewsoftware updater;
    EXPECT_TRUE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), "me@site.test", "Call me"));

    const auto received = service.requests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].soapAction, "\"urn:ProcessorIntf-IProcessor#doSendEmail\"");
    const QString argument = sentArgument(received[0]);
    const QString password = unprotectstring(kStoredServicePassword);
    const QString expectedStart = "HSD=" + todayddmmyy() + "&user=VekInstaller&password=" + password
        + "&Email=me@site.test&Subject=Software Download&From=updates@vendor.test&body64=";
    ASSERT_TRUE(argument.startsWith(expectedStart)) << argument.toStdString();
    const QByteArray body64 = argument.mid(expectedStart.size()).toLatin1();
    EXPECT_FALSE(body64.contains('=')) << "no fill characters";
    EXPECT_EQ(QByteArray::fromBase64(body64),
              widetobytes("Stock.exe was downloaded<br>and placed in " + target() + "<br><br>Call me"));

    for (const QString& log : {dataLog(), filesLog()}) {
        const QStringList lines = logLines(log);
        SCOPED_TRACE(log.toStdString());
        ASSERT_GE(lines.size(), 10);
        EXPECT_TRUE(lines[0].endsWith(" " + localaddress())) << lines[0].toStdString();
        EXPECT_EQ(lines.mid(1, 9),
                  (QStringList{"Email=me@site.test", "Subject=Software Download", "From=updates@vendor.test",
                               "Stock.exe was downloaded", "and placed in " + target(), "", "Call me",
                               "Result=Mail sent", ""}));
        const QString text = lines.join("\n");
        EXPECT_FALSE(text.contains(password));
        EXPECT_FALSE(text.contains("password="));
        EXPECT_FALSE(text.contains("user="));
        EXPECT_FALSE(text.contains("HSD="));
    }
}

TEST_F(DownloadTest, TheNoticeOfAFailedDownloadCarriesTheFailure)
{
    tnewsoftware updater;
    EXPECT_FALSE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), "me@site.test", "notes"));
    ASSERT_EQ(service.requests().size(), 1);
    const QStringList lines = logLines(dataLog());
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[4], "Stock.exe was downloaded");
    EXPECT_TRUE(lines[5].startsWith("Cannot save downloaded file:")) << lines[5].toStdString();
}
