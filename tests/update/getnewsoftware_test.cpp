// Downloading a program: only a complete download (and one that matches the
// server's digest, unless the server answers that it has none) is put in
// place, with the mode of the file it replaces; two runs at once each place
// their own download; the download notice and its log lines.
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/stamps.h"
#include "lib/sysutils.h"
#include "lib/texts.h"
#include "platform/controls/textctrls.h"
#include "platform/filemode.h"
#include "update/newsoftware.h"
#include "update/updateservice.h"
#include "updatefixture.h"
#include "web/protectstrings.h"
#include "web/vekpost.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <sys/stat.h>

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;
using updatetest::sentArgument;

namespace {

class DownloadTest : public updatetest::UpdateFixture {
protected:
    QString target() const { return local() + "new/Stock.exe"; }
    // The download files the runs left in the data folder.
    QStringList downloads() const
    {
        return testsupport::entries(datafolder()).filter(QRegularExpression(QStringLiteral("^__TMPQORInstall")));
    }
    QString download() const { return datafolder() + "__TMPQORInstall"; }
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
    EXPECT_TRUE(downloads().isEmpty());
    EXPECT_EQ(bar.maximum(), bytes.size()) << "the bar counted the bytes";
    EXPECT_EQ(bar.position(), 0) << "and is back at the start";
    EXPECT_TRUE(updater.errorstr.isEmpty()) << updater.errorstr.toStdString();
    EXPECT_TRUE(warnings.isEmpty());
    // The file and then its digest file, which this server does not have.
    EXPECT_EQ(vendor->asked(), (QStringList{"/html/downloads/|Stock.exe", "/html/downloads/|Stock.exe.md5"}));
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
        EXPECT_TRUE(downloads().isEmpty());
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].startsWith("Cannot save downloaded file:" + target() + "\r\n" + download()))
            << warnings[0].toStdString();
        EXPECT_TRUE(warnings[0].contains(".tmp\r\n2\r\n")) << warnings[0].toStdString();
        EXPECT_EQ(updater.errorstr, warnings[0]);
    }
}

TEST_F(DownloadTest, ADigestFileOfTheServerDecidesWhetherTheDownloadIsPlaced)
{
    const QByteArray bytes = webtest::documentBytes(5000);
    const QString digestFile = dir.file("digest.exe");
    writeFile(digestFile, bytes);
    vendor->offer("Stock.exe", bytes);
    vendor->offer("Stock.exe.md5", TVekPost::HashFile(digestFile).toLower().toLatin1() + "\r\n");
    tnewsoftware updater;
    EXPECT_TRUE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
    EXPECT_EQ(readFile(target()), bytes);

    writeFile(target(), "old version");
    vendor->offer("Stock.exe.md5", "0123456789ABCDEF0123456789ABCDEF\r\n");
    EXPECT_FALSE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
    EXPECT_EQ(readFile(target()), "old version");
    EXPECT_TRUE(downloads().isEmpty());
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

// Only the server's clear "not found" means there is no digest to match: a
// digest file that cannot be had, or that holds no digest, refuses the file.
TEST_F(DownloadTest, ADigestThatCannotBeHadRefusesTheFile)
{
    vendor->offer("Stock.exe", "new version");
    const struct {
        const char* what;
        int status;  // 0: the server stays silent
        QByteArray document;
    } cases[] = {
        {"a server error", 500, {}},
        {"a service that is unavailable", 503, {}},
        {"a server that stays silent", 0, {}},
        {"a page that is no digest", 200, "<html>Please log in</html>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        warnings.clear();
        if (c.status == 200)
            vendor->offer("Stock.exe.md5", c.document);
        else
            vendor->fail("Stock.exe.md5", c.status);
        QDir().mkpath(local() + "new");
        writeFile(target(), "old version");
        tnewsoftware updater;
        EXPECT_FALSE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
        EXPECT_EQ(readFile(target()), "old version");
        EXPECT_TRUE(downloads().isEmpty());
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].startsWith(kDigestUnavailable + target() + "\r\nStock.exe.md5"))
            << warnings[0].toStdString();
    }
}

// "Pair.exe" and "Pair.dll" each have their own digest file.
TEST_F(DownloadTest, TheDigestFileIsNamedAfterTheWholeName)
{
    const QByteArray exe = webtest::documentBytes(3000, 1);
    const QByteArray dll = webtest::documentBytes(3000, 2);
    writeFile(dir.file("exe"), exe);
    writeFile(dir.file("dll"), dll);
    vendor->offer("Pair.exe", exe);
    vendor->offer("Pair.dll", dll);
    vendor->offer("Pair.exe.md5", TVekPost::HashFile(dir.file("exe")).toLatin1());
    vendor->offer("Pair.dll.md5", TVekPost::HashFile(dir.file("dll")).toLatin1());
    vendor->offer("Pair.md5", "0123456789ABCDEF0123456789ABCDEF");
    tnewsoftware updater;
    EXPECT_TRUE(updater.getnewsoftware(local(), "Pair.exe", QString(), QString(), QString()))
        << updater.errorstr.toStdString();
    EXPECT_TRUE(updater.getnewsoftware(local(), "Pair.dll", QString(), QString(), QString()))
        << updater.errorstr.toStdString();
    EXPECT_EQ(readFile(local() + "Pair.exe"), exe);
    EXPECT_EQ(readFile(local() + "Pair.dll"), dll);
    EXPECT_TRUE(vendor->asked().filter("|Pair.md5").isEmpty());
}

// A new version keeps the mode of the file it replaces (a program stays
// runnable), 0755 for a program that is new; set-ID bits never travel.
TEST_F(DownloadTest, TheNewFileKeepsTheModeOfTheFileItReplaces)
{
    vendor->offer("Stock.exe", "new version");
    const mode_t umask = platform::processUmask();
    const struct {
        int before;  // -1: no file yet
        int after;
    } cases[] = {{0755, 0755}, {0700, 0700}, {0644, 0644}, {04755, 0755}, {-1, 0755}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        QDir().mkpath(local() + "new");
        QFile::remove(target());
        if (c.before >= 0) {
            writeFile(target(), "old version");
            ASSERT_EQ(::chmod(QFile::encodeName(target()).constData(), static_cast<mode_t>(c.before)), 0);
        }
        tnewsoftware updater;
        ASSERT_TRUE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()))
            << updater.errorstr.toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(target()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(c.after) & ~umask);
    }
}

// A second run starts while the first waits for its digest file (window
// events run during a transfer): each run places the bytes it downloaded.
TEST_F(DownloadTest, TwoRunsAtOnceEachPlaceTheirOwnDownload)
{
    const QByteArray fast = webtest::documentBytes(4000, 1);
    const QByteArray slow = webtest::documentBytes(6000, 2);
    vendor->offer("Fast.exe", fast);
    vendor->offer("Slow.exe", slow);
    vendor->offer("Fast.exe.md5", "not yet");
    bool secondPlaced = false;
    bool firstRunning = false;
    bool secondRanDuringFirst = false;
    vendor->whenAsked("Fast.exe.md5", [&] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                secondRanDuringFirst = firstRunning;
                tnewsoftware second;
                secondPlaced = second.getnewsoftware(local(), "Slow.exe", QString(), QString(), QString());
            },
            Qt::QueuedConnection);
    });
    writeFile(dir.file("fast"), fast);
    vendor->offer("Fast.exe.md5", TVekPost::HashFile(dir.file("fast")).toLatin1());
    tnewsoftware first;
    firstRunning = true;
    EXPECT_TRUE(first.getnewsoftware(local(), "Fast.exe", QString(), QString(), QString()))
        << first.errorstr.toStdString();
    firstRunning = false;
    QCoreApplication::processEvents();
    EXPECT_TRUE(secondRanDuringFirst) << "the second run began while the first was under way";
    EXPECT_TRUE(secondPlaced);
    EXPECT_EQ(readFile(local() + "Fast.exe"), fast);
    EXPECT_EQ(readFile(local() + "Slow.exe"), slow);
    EXPECT_TRUE(downloads().isEmpty());
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
}

// What a killed run left at the placement's work name is removed before the
// copy, under the folder's lock: a link planted there is never written through.
// A link planted under the work file's name (another user of a shared
// program folder) is neither written through nor removed: the update fails
// with the code that says the name is taken, and the program stays as it was.
TEST_F(DownloadTest, ALinkAtTheWorkNameIsNotWrittenThroughAndFailsTheUpdate)
{
    vendor->offer("Stock.exe", "new version");
    QDir().mkpath(local() + "new");
    writeFile(target(), "old version");
    const QString victim = dir.file("victim.txt");
    writeFile(victim, "precious");
    ASSERT_TRUE(QFile::link(victim, hiddenworkname(target(), ".download")));
    tnewsoftware updater;
    EXPECT_FALSE(updater.getnewsoftware(local() + "new", "Stock.exe", QString(), QString(), QString()));
    EXPECT_TRUE(updater.errorstr.contains("183")) << updater.errorstr.toStdString();
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_FALSE(QFileInfo(target()).isSymLink());
    EXPECT_EQ(readFile(target()), "old version");
}
