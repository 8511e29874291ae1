#include "web/vekpost.h"
#include "webfixture.h"
#include "webservers.h"

#include <QFile>

using namespace vek;
using testsupport::entries;
using testsupport::readFile;
using testsupport::writeFile;
using webtest::Certificate;
using webtest::TestServer;

namespace {

const QByteArray kDocument("the vendor's new build");

// An HTTPS server on 127.0.0.1 whose certificate no system trusts.
class TlsTest : public webtest::WebFixture {
protected:
    void serve(const Certificate& certificate)
    {
        ASSERT_TRUE(certificate.made) << "the openssl program made no certificate";
        server = std::make_unique<TestServer>(certificate);
        server->routes().Get("/doc", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(webtest::toStd(kDocument), "application/octet-stream");
        });
        ASSERT_TRUE(server->start());
    }
    QString target() const { return files() + QStringLiteral("Stock.exe"); }
    // Downloads over the old file; whether it was placed.
    bool download(TVekPost& post)
    {
        writeFile(target(), "the old version");
        return post.GetFile(server->url("/doc"), target());
    }

    std::unique_ptr<TestServer> server;
};

}  // namespace

TEST_F(TlsTest, AnUntrustedServerIsRefusedByDefault)
{
    serve(webtest::certificateFor("IP:127.0.0.1"));
    TVekPost post;
    EXPECT_FALSE(download(post));
    EXPECT_FALSE(post.ReportError().isEmpty());
    EXPECT_EQ(readFile(target()), QByteArray("the old version"));
    EXPECT_EQ(entries(files()), QStringList{"Stock.exe"});
    EXPECT_EQ(post.pendinglog().filter("Versions=TLSv1.2 and later").size(), 1);
    EXPECT_TRUE(post.pendinglog().filter("TLS verification is off").isEmpty());

    // "Verify" set to anything but 0 still verifies.
    setting(kTlsSection, kTlsVerifyKey, "yes");
    TVekPost again;
    EXPECT_FALSE(download(again));
}

TEST_F(TlsTest, TheExtraAuthorityOfTheSettingsIsTrusted)
{
    const Certificate certificate = webtest::certificateFor("IP:127.0.0.1");
    serve(certificate);
    setting(kTlsSection, kTlsCaFileKey, certificate.certFile);
    TVekPost post;
    ASSERT_TRUE(download(post)) << post.ReportError().toStdString();
    EXPECT_EQ(readFile(target()), kDocument);
}

TEST_F(TlsTest, TheHostNameMustMatchTheCertificate)
{
    const Certificate certificate = webtest::certificateFor("DNS:vendor.example");
    serve(certificate);
    setting(kTlsSection, kTlsCaFileKey, certificate.certFile);
    TVekPost post;
    EXPECT_FALSE(download(post));
    EXPECT_EQ(readFile(target()), QByteArray("the old version"));
}

TEST_F(TlsTest, AnUnreadableAuthorityFileFailsTheTransfer)
{
    serve(webtest::certificateFor("IP:127.0.0.1"));
    setting(kTlsSection, kTlsCaFileKey, dir.file("no such file.pem"));
    TVekPost post;
    EXPECT_FALSE(download(post));
    EXPECT_TRUE(post.ReportError().contains("no such file.pem")) << post.ReportError().toStdString();
}

TEST_F(TlsTest, VerifyZeroTurnsTheCheckOffAndSaysSoAtEveryTransfer)
{
    serve(webtest::certificateFor("DNS:vendor.example"));
    setting(kTlsSection, kTlsVerifyKey, "0");
    TVekPost post;
    ASSERT_TRUE(download(post)) << post.ReportError().toStdString();
    EXPECT_EQ(readFile(target()), kDocument);
    ASSERT_TRUE(download(post));
    EXPECT_TRUE(post.OpenURL(server->url("/doc")));
    EXPECT_EQ(post.pendinglog().filter(kTlsUnverifiedWarning).size(), 3);
}
