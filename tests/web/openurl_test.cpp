#include "web/vekpost.h"
#include "webfixture.h"
#include "webservers.h"

#include <QFile>

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;
using webtest::TestServer;

namespace {

class OpenURLTest : public webtest::WebFixture {
protected:
    void SetUp() override
    {
        auto& r = server.routes();
        r.Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("X-Time", "Tue, 10 Dec 2024 08:02:45 GMT");
            res.set_content("caf\xC3\xA9 page", "text/html");
        });
        r.Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page"); });
        r.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not here", "text/plain");
        });
        ASSERT_TRUE(server.start());
    }
    TestServer server;
};

}  // namespace

TEST_F(OpenURLTest, APageWithItsHeaders)
{
    TVekPost post;
    ASSERT_TRUE(post.OpenURL(server.url("/moved")));
    EXPECT_EQ(post.ReplyStr, QStringLiteral("caf\u00E9 page"));
    EXPECT_EQ(post.ResponseCode, 200);
    EXPECT_EQ(post.ResponseText, "OK");
    // Every colon becomes "=", those of the time of day too; only the last
    // reply's headers are kept, not the redirect's.
    EXPECT_TRUE(post.Headers.contains("X-Time= Tue, 10 Dec 2024 08=02=45 GMT")) << post.Headers.join('|').toStdString();
    EXPECT_TRUE(post.Headers.contains("Content-Type= text/html"));
    EXPECT_TRUE(post.Headers.filter("Location").isEmpty());
    for (const QString& line : post.Headers)
        EXPECT_FALSE(line.contains(u':')) << line.toStdString();
}

TEST_F(OpenURLTest, AnErrorStatusKeepsItsBody)
{
    TVekPost post;
    ASSERT_TRUE(post.OpenURL(server.url("/page")));
    EXPECT_FALSE(post.OpenURL(server.url("/missing")));
    EXPECT_EQ(post.ResponseCode, 404);
    EXPECT_EQ(post.ResponseText, "Not Found");
    EXPECT_EQ(post.ReplyStr, "not here");
    EXPECT_TRUE(post.Headers.filter("X-Time").isEmpty()) << "the headers are the last page's";
    EXPECT_EQ(post.pendinglog().filter("Failed: 404: Not Found").size(), 1);
}

TEST_F(OpenURLTest, NoServer)
{
    const QString address = server.url("/page");
    server.stop();
    TVekPost post;
    EXPECT_FALSE(post.OpenURL(address));
    EXPECT_EQ(post.ResponseCode, 0);
    EXPECT_FALSE(post.ResponseText.isEmpty());
    EXPECT_EQ(post.pendinglog().filter("Tried: " + address + " but failed.").size(), 1);
}

TEST_F(OpenURLTest, NetCheckFetchesTheHomePageOfTheSettings)
{
    setting(kHostsSection, kHomePageKey, server.url("/page"));
    TVekPost post;
    EXPECT_TRUE(post.NetCheck());
    EXPECT_EQ(post.ReplyStr, QStringLiteral("caf\u00E9 page"));
    EXPECT_FALSE(post.NetCheck(server.url("/missing")));
}

TEST(FileDigests, HashFile)
{
    testsupport::ScratchDir dir;
    const QString empty = dir.file("empty"), abc = dir.file("abc.txt"), big = dir.file("big.bin");
    writeFile(empty, {});
    writeFile(abc, "abc");
    writeFile(big, QByteArray(3 << 20, 'a'));  // across the read chunks
    const struct {
        QString file;
        const char* digest;
    } cases[] = {
        {empty, "D41D8CD98F00B204E9800998ECF8427E"},  // MD5 of no bytes
        {abc, "900150983CD24FB0D6963F7D28E17F72"},
        {big, "6A11A8872B36343799A15617BEA78CEF"},
        {dir.file("missing"), "No File"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TVekPost::HashFile(c.file), QString::fromLatin1(c.digest)) << c.file.toStdString();
}

TEST(FileDigests, CompareFilesAndTheMd5SideFile)
{
    testsupport::ScratchDir dir;
    writeFile(dir.file("a.exe"), "same");
    writeFile(dir.file("b.exe"), "same");
    writeFile(dir.file("c.exe"), "other");
    EXPECT_TRUE(TVekPost::CompareFiles(dir.file("a.exe"), dir.file("b.exe")));
    EXPECT_FALSE(TVekPost::CompareFiles(dir.file("a.exe"), dir.file("c.exe")));
    EXPECT_TRUE(TVekPost::CompareFiles(dir.file("none1"), dir.file("none2"))) << "two missing files compare equal";
    EXPECT_FALSE(TVekPost::CompareFiles(dir.file("a.exe"), dir.file("none")));

    // The side file is named after the whole name: "Pair.exe" and "Pair.dll" each have their own.
    ASSERT_TRUE(TVekPost::md5File(dir.file("a.exe")));
    EXPECT_EQ(readFile(dir.file("a.exe.md5")), TVekPost::HashFile(dir.file("a.exe")).toLatin1() + "\r\n");
    writeFile(dir.file("a.dll"), "a library");
    ASSERT_TRUE(TVekPost::md5File(dir.file("a.dll")));
    EXPECT_EQ(readFile(dir.file("a.dll.md5")), TVekPost::HashFile(dir.file("a.dll")).toLatin1() + "\r\n");
    EXPECT_FALSE(QFile::exists(dir.file("a.md5")));
    ASSERT_TRUE(TVekPost::md5File(dir.file("noext")));
    EXPECT_EQ(readFile(dir.file("noext.md5")), QByteArray("No File\r\n"));
}
