#include "lib/stamps.h"
#include "lib/textlists.h"
#include "libguards.h"
#include "web/webdownloads.h"
#include "webfixture.h"
#include "webservers.h"

using namespace vek;
using testsupport::entries;
using testsupport::readFile;
using testsupport::writeFile;
using webtest::TestServer;

namespace {

const char kListDocument[] = "first line\r\nsecond line\r\n\r\nlast line";
const QStringList kListLines{"first line", "second line", "", "last line"};

void addListRoutes(TestServer& server)
{
    server.routes().Get("/list.txt", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kListDocument, "text/plain");
    });
    server.routes().Get("/cut.txt", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(1000, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
            sink.write("first line\r\n", 12);
            return false;
        });
    });
}

// loadlist and loadlines with the transfer component's download call installed.
class DownloadListTest : public webtest::WebFixture {
protected:
    void SetUp() override
    {
        addListRoutes(server);
        ASSERT_TRUE(server.start());
    }
    QString downloads() const { return data() + kDownloadsFolder + u'/'; }

    testsupport::DownloadCallScope call{&downloadweblist};
    TestServer server;
};

}  // namespace

TEST_F(DownloadListTest, AWebAddressGivesTheDocumentsLines)
{
    for (const QString& address : {server.url("/list.txt"), server.url("/list.txt").replace("http:", "HTTP:")}) {
        QStringList list{"stale"};
        loadlist(list, address);
        EXPECT_EQ(list, kListLines) << address.toStdString();
        QStringList lines;
        loadlines(&lines, address);
        EXPECT_EQ(lines, kListLines);
        EXPECT_EQ(readlist(list, address), platform::ReadError::None);
        EXPECT_TRUE(entries(downloads()).isEmpty()) << "the temporary file is deleted";
    }
}

TEST_F(DownloadListTest, AnHttpsAddress)
{
    const webtest::Certificate certificate = webtest::certificateFor("IP:127.0.0.1");
    ASSERT_TRUE(certificate.made);
    TestServer secure(certificate);
    addListRoutes(secure);
    ASSERT_TRUE(secure.start());
    setting(kTlsSection, kTlsCaFileKey, certificate.certFile);
    QStringList list;
    loadlist(list, secure.url("/list.txt"));
    EXPECT_EQ(list, kListLines);
}

TEST_F(DownloadListTest, AFailedDownloadGivesAnEmptyList)
{
    const QString unreachable = server.url("/list.txt").replace(QString::number(server.port()), "1");
    for (const QString& address : {server.url("/missing.txt"), server.url("/cut.txt"), unreachable}) {
        QStringList list{"stale"};
        loadlist(list, address);
        EXPECT_TRUE(list.isEmpty()) << address.toStdString();
        EXPECT_EQ(readlist(list, address), platform::ReadError::Failed);
        EXPECT_TRUE(entries(downloads()).isEmpty());
    }
}

// A file named by the second, as another program's download of the same
// second would have it, is neither used nor removed.
TEST_F(DownloadListTest, TheTemporaryNameIsNoOtherDownloads)
{
    ASSERT_TRUE(QDir().mkpath(downloads()));
    const QDateTime now = QDateTime::currentDateTime();
    QStringList others;
    for (int second = 0; second < 3; ++second) {
        const QDateTime at = now.addSecs(second);
        others << "__TMP" + datetimestamp(at) + ".txt";
        writeFile(downloads() + others.back(), "another program's list\r\n");
    }
    QStringList list;
    loadlist(list, server.url("/list.txt"));
    EXPECT_EQ(list, kListLines);
    EXPECT_EQ(entries(downloads()), others);
    for (const QString& other : others)
        EXPECT_EQ(readFile(downloads() + other), QByteArray("another program's list\r\n"));
}
