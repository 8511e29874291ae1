#include "platform/faultinjection.h"
#include "platform/result.h"
#include "platform/winerror.h"
#include "web/protectstrings.h"
#include "web/vekpost.h"
#include "web/websettings.h"
#include "webfixture.h"
#include "webservers.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <mutex>

using namespace vek;
using testsupport::readFile;
using testsupport::writeFile;
using webtest::TestServer;

namespace {

// What the upload page received with one post.
struct Received {
    std::multimap<std::string, httplib::MultipartFormData> parts;
    std::string body;
    std::string contentType;
    std::string authorization;
    std::string via;
};

class PostTest : public webtest::WebFixture {
protected:
    void SetUp() override
    {
        auto& r = server.routes();
        const auto record = [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            Received got;
            for (const auto& [name, part] : req.files)
                got.parts.emplace(name, part);
            got.body = req.body;
            got.contentType = req.get_header_value("Content-Type");
            got.authorization = req.get_header_value("Authorization");
            got.via = req.get_header_value("Via");
            received.push_back(got);
            res.set_content("stored \xC3\xA9", "text/plain; charset=utf-8");
        };
        r.Post("/upload", record);
        r.Post("/raw", record);
        r.Get("/doc", [record](const httplib::Request& req, httplib::Response& res) {
            record(req, res);
            res.set_content("the document", "text/plain");
        });
        r.Post("/broken", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("it broke", "text/plain");
        });
        r.Post("/accepted", [](const httplib::Request&, httplib::Response& res) { res.status = 202; });
        // Takes the request and says nothing until the test ends (or long after
        // any time-out), then answers as if all were well.
        r.Post("/silent", [this](const httplib::Request&, httplib::Response& res) {
            server.waitForRelease(std::chrono::seconds(20));
            res.set_content("too late", "text/plain");
        });
        ASSERT_TRUE(server.start());
        writeFile(upload(), "file bytes \x01\x02");
        writeFile(second(), "second file");
    }
    QString upload() const { return files() + QStringLiteral("report.txt"); }
    QString second() const { return files() + QStringLiteral("second.bin"); }
    std::vector<Received> requests()
    {
        std::lock_guard lock(mutex);
        return received;
    }

    TestServer server;
    std::mutex mutex;
    std::vector<Received> received;
};

std::string fieldOf(const Received& got, const std::string& name)
{
    const auto it = got.parts.find(name);
    return it == got.parts.end() ? std::string("(none)") : it->second.content;
}

}  // namespace

TEST_F(PostTest, NothingIsSentWithoutASiteOrAFile)
{
    TVekPost post;
    EXPECT_FALSE(post.PostFile(upload()));
    EXPECT_FALSE(post.PostNoFile());
    EXPECT_EQ(post.pendinglog().filter(kWebsiteNotSet).size(), 2);
    post.SetSite(server.url("/upload"));
    EXPECT_FALSE(post.PostFile(files() + "missing.txt"));
    EXPECT_EQ(post.pendinglog().filter("Missing file:" + files() + "missing.txt").size(), 1);
    EXPECT_EQ(post.ResponseCode, 0);
    EXPECT_TRUE(requests().empty());
}

TEST_F(PostTest, PostFileSendsTheFieldsAndTheFile)
{
    TVekPost post;
    post.SetSite(server.url("/upload"));
    post.AddExtraField("version", "1.2");
    ASSERT_TRUE(post.PostFile(upload(), "ACME Ltd"));
    EXPECT_EQ(post.ResponseCode, 200);
    EXPECT_EQ(post.ResponseText, "OK");
    const auto got = requests();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(fieldOf(got[0], "version"), "1.2");
    EXPECT_EQ(fieldOf(got[0], "customer"), "ACME Ltd");
    ASSERT_EQ(got[0].parts.count("file"), 1u);
    const auto& file = got[0].parts.find("file")->second;
    EXPECT_EQ(file.content, "file bytes \x01\x02");
    EXPECT_EQ(file.filename, "report.txt");
    EXPECT_EQ(file.content_type, "application/octet-stream");
    const QStringList log = post.pendinglog();
    EXPECT_EQ(log.filter("Set field version = 1.2").size(), 1);
    EXPECT_EQ(log.filter("Set field customer = ACME Ltd").size(), 1);
    EXPECT_EQ(log.filter("Parameter=file " + upload()).size(), 1);
    EXPECT_EQ(log.filter("Got: OK with " + upload()).size(), 1);
}

// The form is never emptied: a second post sends the first file again.
TEST_F(PostTest, EveryPostSendsEverythingAddedBefore)
{
    TVekPost post;
    post.SetSite(server.url("/upload"));
    post.SetName("upload");
    ASSERT_TRUE(post.PostFile(upload()));
    ASSERT_TRUE(post.PostFileToFolder(second(), "incoming"));
    const auto got = requests();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].parts.count("upload"), 1u);
    EXPECT_EQ(got[1].parts.count("upload"), 2u);
    EXPECT_EQ(fieldOf(got[1], "base"), "incoming");
    ASSERT_TRUE(post.PostNoFile());
    EXPECT_EQ(requests().back().parts.count("upload"), 2u);
}

TEST_F(PostTest, AnErrorStatusFailsThePost)
{
    TVekPost post;
    post.SetSite(server.url("/broken"));
    EXPECT_FALSE(post.PostFile(upload()));
    EXPECT_EQ(post.ResponseCode, 500);
    EXPECT_EQ(post.ResponseText, "HTTP/1.1 500 Internal Server Error");
    EXPECT_EQ(post.ReportError(), post.ResponseText);
    const QStringList log = post.pendinglog();
    EXPECT_EQ(log.filter("Site = " + server.url("/broken")).size(), 1);
    EXPECT_EQ(log.filter("Filename = " + upload()).size(), 1);
    EXPECT_EQ(log.filter("Name = file").size(), 1);

    // A reply other than 200 is no success, though no failure either.
    TVekPost accepted;
    accepted.SetSite(server.url("/accepted"));
    accepted.AddExtraField("a", "b");
    EXPECT_FALSE(accepted.PostNoFile());
    EXPECT_EQ(accepted.ResponseCode, 202);
}

TEST_F(PostTest, PostNoFileWithoutAServer)
{
    const QString address = server.url("/upload");
    server.stop();
    TVekPost post;
    post.SetSite(address);
    post.AddExtraField("a", "b");
    EXPECT_FALSE(post.PostNoFile());
    EXPECT_TRUE(post.ResponseText.endsWith("   ")) << "the message, three blanks and the (empty) status text";
    EXPECT_EQ(post.ReportError(), post.ResponseText);
    EXPECT_EQ(post.pendinglog().filter("Site = " + address).size(), 1);
    EXPECT_TRUE(post.pendinglog().filter("Filename = ").isEmpty());
}

TEST_F(PostTest, PostRawSendsTheFileAsTheBody)
{
    TVekPost post;
    EXPECT_EQ(post.PostRaw(server.url("/raw"), upload(), "application/x-report"), QStringLiteral("stored \u00E9"));
    EXPECT_EQ(post.PostXML(server.url("/raw"), second()), QStringLiteral("stored \u00E9"));
    post.setusername("ann", "pa:ss");
    EXPECT_EQ(post.PostRaw(server.url("/raw"), upload(), "text/plain"), QStringLiteral("stored \u00E9"));
    const auto got = requests();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].body, "file bytes \x01\x02");
    EXPECT_EQ(got[0].contentType, "application/x-report");
    EXPECT_EQ(got[0].authorization, "");
    EXPECT_EQ(got[1].body, "second file");
    EXPECT_EQ(got[1].contentType, "text/xml");
    EXPECT_EQ(got[2].authorization, "Basic " + QByteArray("ann:pa:ss").toBase64().toStdString());
    EXPECT_TRUE(post.pendinglog().isEmpty()) << "a raw post logs nothing";
}

// A raw post that fails says why, as a result and through the family's call:
// nothing is raised, and nothing is sent for a file that cannot be read.
TEST_F(PostTest, PostRawReportsItsFailures)
{
    const struct {
        QString url;
        QString file;
        int code;
        const char* why;
    } cases[] = {
        {server.url("/raw"), files() + "missing.xml", platform::winerr::FileNotFound, "a missing file"},
        {server.url("/broken"), upload(), platform::winerr::IoDevice, "an error status"},
        {"http://127.0.0.1:1/raw", upload(), platform::winerr::IoDevice, "no server"},
    };
    for (const auto& c : cases) {
        TVekPost post;
        const platform::Result<QString> reply = post.rawPost(c.url, c.file, "text/xml");
        ASSERT_FALSE(reply.ok()) << c.why;
        EXPECT_EQ(reply.code(), c.code) << c.why;
        EXPECT_FALSE(reply.message().isEmpty()) << c.why;
        TVekPost family;
        EXPECT_EQ(family.PostXML(c.url, c.file), QString()) << c.why;
        EXPECT_EQ(family.ReportError(), reply.message()) << c.why;
    }
    EXPECT_EQ(requests().size(), 0u) << "a file that cannot be read is not posted";
}

// Every transfer waits for a silent server as long as GetFile does, no longer.
TEST_F(PostTest, EveryPostTimesOutAgainstASilentServer)
{
    TVekPost post;
    post.SetTimeout(300);
    post.SetSite(server.url("/silent"));
    EXPECT_FALSE(post.PostFile(upload()));
    EXPECT_EQ(post.ReportError(), QStringLiteral("Read timed out."));
    post.AddExtraField("a", "b");
    EXPECT_FALSE(post.PostNoFile());
    EXPECT_TRUE(post.ReportError().startsWith(QStringLiteral("Read timed out."))) << post.ReportError().toStdString();
    EXPECT_EQ(post.PostRaw(server.url("/silent"), upload(), "text/plain"), QString());
    EXPECT_EQ(post.ReportError(), QStringLiteral("Read timed out."));
}

// A settings file that is there but cannot be read could name a proxy: no
// transfer goes direct around it; each fails and says why. A missing file
// stays "no proxy".
TEST_F(PostTest, AnUnreadableProxySettingsFileFailsEveryTransfer)
{
    const QString target = files() + QStringLiteral("Stock.exe");
    enum class Unreadable { Folder, OpenRefused };
    for (const Unreadable how : {Unreadable::Folder, Unreadable::OpenRefused}) {
        SCOPED_TRACE(how == Unreadable::Folder ? "a folder in its place" : "its open refused");
        QFile::remove(settingsFile());
        QDir(settingsFile()).removeRecursively();
        if (how == Unreadable::Folder) {
            ASSERT_TRUE(QDir().mkpath(settingsFile()));
        } else {
            setting(kProxySection, kProxyHostKey, "127.0.0.1");
        }
        testsupport::FaultScope faults;
        // The settings file is the first file a transfer opens.
        const auto arm = [how] {
            if (how == Unreadable::OpenRefused)
                platform::injectFault(platform::FaultOp::Open, 1, EACCES);
        };
        const auto expectRefused = [this](const QString& message) {
            EXPECT_TRUE(message.startsWith(kUnreadableProxySettings + settingsFile())) << message.toStdString();
        };
        arm();
        const platform::Result<std::optional<http::ProxyServer>> read = readproxysettings(settingsFile());
        EXPECT_EQ(read.code(), platform::winerr::AccessDenied);
        expectRefused(read.message());
        TVekPost post;
        post.SetSite(server.url("/upload"));
        arm();
        EXPECT_FALSE(post.GetFile(server.url("/doc"), target));
        expectRefused(post.ErrorStr);
        expectRefused(post.ReportError());
        arm();
        EXPECT_FALSE(post.PostFile(upload()));
        expectRefused(post.ResponseText);
        arm();
        EXPECT_FALSE(post.PostNoFile());
        expectRefused(post.ResponseText);
        arm();
        EXPECT_FALSE(post.OpenURL(server.url("/doc")));
        expectRefused(post.ReportError());
        EXPECT_EQ(post.pendinglog().filter("Exception message:" + kUnreadableProxySettings).size(), 4);
        EXPECT_TRUE(requests().empty()) << "nothing went direct";
        EXPECT_FALSE(QFile::exists(target));
    }
    QFile::remove(settingsFile());
    TVekPost post;
    EXPECT_TRUE(post.OpenURL(server.url("/doc"))) << "a missing file is no proxy";
}

namespace {

const QString kProxyUser = QStringLiteral("alice");
const QString kProxyPassword = QStringLiteral("s3cretPw");

class ProxyTest : public PostTest {
protected:
    void SetUp() override
    {
        PostTest::SetUp();
        ASSERT_TRUE(proxy.start()) << "tinyproxy did not start: " << proxy.output().toStdString();
    }
    void useProxy(const QString& password)
    {
        setting(kProxySection, kProxyHostKey, " 127.0.0.1 ");
        setting(kProxySection, kProxyPortKey, QString::number(proxy.port()));
        setting(kProxySection, kProxyUserKey, kProxyUser);
        setting(kProxySection, kProxyPassKey, protectstring(password));
    }
    QString target() const { return files() + QStringLiteral("Stock.exe"); }

    webtest::TinyProxy proxy{kProxyUser, kProxyPassword};
};

}  // namespace

TEST_F(ProxyTest, TransfersGoThroughTheProxyOfTheSettings)
{
    useProxy(kProxyPassword);
    TVekPost post;
    ASSERT_TRUE(post.GetFile(server.url("/doc"), target())) << post.ReportError().toStdString();
    EXPECT_EQ(readFile(target()), QByteArray("the document"));
    ASSERT_TRUE(post.OpenURL(server.url("/doc")));
    post.SetSite(server.url("/upload"));
    ASSERT_TRUE(post.PostFile(upload()));
    const auto got = requests();
    ASSERT_EQ(got.size(), 3u);
    for (const Received& r : got)
        EXPECT_NE(r.via.find("tinyproxy"), std::string::npos) << "the request came through the proxy";
    ASSERT_TRUE(post.proxy());
    EXPECT_EQ(post.proxy()->password, kProxyPassword);
    EXPECT_EQ(post.ProxyINI(), settingsFile());
    // The log names the proxy and says that a password is set, never which:
    // its protected form turns back into it with the family's fixed key.
    const QStringList log = post.pendinglog();
    EXPECT_FALSE(log.filter("Proxy Info:").isEmpty());
    EXPECT_FALSE(log.filter(kProxyPasswordSet).isEmpty());
    EXPECT_TRUE(log.filter(protectstring(kProxyPassword)).isEmpty());
    EXPECT_TRUE(log.filter(kProxyPassword).isEmpty());
}

TEST_F(ProxyTest, AProxyThatRefusesThePassword)
{
    useProxy("wrong");
    writeFile(target(), "the old version");
    TVekPost post;
    EXPECT_FALSE(post.GetFile(server.url("/doc"), target()));
    EXPECT_EQ(readFile(target()), QByteArray("the old version"));
    EXPECT_EQ(testsupport::entries(files()), QStringList({"Stock.exe", "report.txt", "second.bin"}));
    EXPECT_FALSE(post.OpenURL(server.url("/doc")));
    EXPECT_TRUE(post.ResponseCode == 401 || post.ResponseCode == 407) << post.ResponseCode;
    EXPECT_TRUE(requests().empty()) << "nothing reached the server";
}

TEST_F(ProxyTest, ProxySettingsFileRules)
{
    const QString file = dir.file("other.ini");
    platform::IniFile ini(file);
    // An empty host changes nothing, whatever else is set.
    ASSERT_EQ(ini.writeString(kProxySection, kProxyHostKey, "  "), 0);
    ASSERT_EQ(ini.writeString(kProxySection, kProxyPortKey, "8080"), 0);
    ASSERT_EQ(ini.writeString(kProxySection, kProxyUserKey, "bob"), 0);
    TVekPost post;
    post.SetProxyINI(file);
    EXPECT_FALSE(post.proxy());
    EXPECT_TRUE(post.ProxyINI().isEmpty());
    EXPECT_TRUE(post.pendinglog().isEmpty());
    post.SetProxyINI(dir.file("missing.ini"));
    EXPECT_FALSE(post.proxy());

    // Without "PORT" the port is 3128; the password is trimmed after it is turned back.
    ASSERT_EQ(ini.writeString(kProxySection, kProxyHostKey, "proxy.example"), 0);
    ASSERT_EQ(ini.deleteKey(kProxySection, kProxyPortKey), 0);
    ASSERT_EQ(ini.writeString(kProxySection, kProxyPassKey, protectstring(" pw ")), 0);
    post.SetProxyINI(file);
    ASSERT_TRUE(post.proxy());
    EXPECT_EQ(post.proxy()->host, "proxy.example");
    EXPECT_EQ(post.proxy()->port, 3128);
    EXPECT_EQ(post.proxy()->user, "bob");
    EXPECT_EQ(post.proxy()->password, "pw");
    EXPECT_EQ(post.ProxyINI(), file);
    QStringList tail = post.pendinglog().mid(post.pendinglog().size() - 5);
    for (QString& line : tail)
        line = line.section(u' ', 2);  // past the date and the time
    EXPECT_EQ(tail, QStringList({"Proxy Info:", "proxy.example", "3128", "bob", kProxyPasswordSet}));

    // A later file with an empty host leaves the proxy applied before.
    ASSERT_EQ(ini.writeString(kProxySection, kProxyHostKey, ""), 0);
    post.SetProxyINI(file);
    ASSERT_TRUE(post.proxy());
    EXPECT_EQ(post.proxy()->host, "proxy.example");
}
