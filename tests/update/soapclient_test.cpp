// The service clients against a real SOAP server (Spyne): what a call sends,
// how its reply is read, where the getters post, and the proxy settings.
#include "lib/folders.h"
#include "lib/stamps.h"
#include "lib/webtext.h"
#include "logsecrets.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"
#include "update/processor.h"
#include "update/updateservice.h"
#include "updateservices.h"
#include "web/protectstrings.h"
#include "web/transferlog.h"
#include "web/websettings.h"
#include "webservers.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vek;
using updatetest::SpyneService;

namespace {

class SoapClientTest : public ::testing::Test {
protected:
    SoapClientTest()
        : args_({dir.file(QStringLiteral("TessarineInstaller")), QStringLiteral("LOCALFOLDER=") + dir.path()}),
          service(dir.file(QStringLiteral("service/")))
    {
        QDir().mkpath(dir.file(QStringLiteral("service")));
    }
    void SetUp() override { ASSERT_TRUE(service.start()) << service.output().toStdString(); }
    // No log the calls wrote holds a password.
    void TearDown() override { webtest::expectNoPasswordInLogs(dir.path()); }
    void proxySetting(const QString& key, const QString& value)
    {
        ASSERT_EQ(platform::IniFile(proxysettingsfile()).writeString(kProxySection, key, value), 0);
    }

    testsupport::ScratchDir dir;
    testsupport::RunArgumentsScope args_;
    SpyneService service;
};

}  // namespace

TEST_F(SoapClientTest, ACallSendsTheOperationInItsNamespaceWithItsActionAndReadsTheResult)
{
    service.reply("default.reply", "Stock.exe%3D1%7C05%2F03%2F2024%2010%3A11%3A12");
    const auto processor = getprocessor(false, service.url(QStringLiteral("/soap/IProcessor")));
    const SoapResult r = processor->call("doGetFileData", {"HSD%3D1"});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value, "Stock.exe%3D1%7C05%2F03%2F2024%2010%3A11%3A12");

    const auto received = service.requests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].soapAction, "\"urn:ProcessorIntf-IProcessor#doGetFileData\"");
    EXPECT_EQ(received[0].contentType, "text/xml; charset=utf-8");
    EXPECT_EQ(received[0].path, "/soap/IProcessor");
    EXPECT_TRUE(received[0].body.contains("<NS1:doGetFileData xmlns:NS1=\"urn:ProcessorIntf-IProcessor\">"))
        << received[0].body.toStdString();
    EXPECT_TRUE(received[0].body.contains(">HSD%3D1</Value>")) << received[0].body.toStdString();
}

TEST_F(SoapClientTest, TheUpdaterPercentEncodesTheWholeArgumentAndDecodesTheReply)
{
    service.reply("default.reply", "a%3Db%20c%7Cd");
    QString sent;
    const SoapResult r = callupdateservice(service.url(QStringLiteral("/soap")), "doGetFileData",
                                           "HSD=010324&Folder=c:\\my domains\\Stock.exe", &sent);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value, "a=b c|d");
    EXPECT_EQ(sent, "HSD%3D010324%26Folder%3Dc%3A%5Cmy%20domains%5CStock%2Eexe");
    const auto received = service.requests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_TRUE(received[0].body.contains(">" + sent.toUtf8() + "</Value>")) << received[0].body.toStdString();
}

TEST_F(SoapClientTest, AServiceFaultAndAMissingServiceComeBackAsErrors)
{
    service.reply("Stock.exe.fault", "No such folder");
    const auto processor = getprocessor(false, service.url());
    SoapResult r = processor->call("doGetFileData", {urlencode("HSD=1&Folder=x\\Stock.exe", false, false)});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.fault);
    EXPECT_EQ(r.error, "No such folder");

    // An operation the interface lacks, or too many arguments: nothing is sent.
    r = processor->call("defaultAction");
    EXPECT_FALSE(r.ok);
    r = processor->call("Acknowledge", {"x"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(service.requests().size(), 1);

    // Nobody listens on a port that a server just gave up.
    int port = 0;
    {
        webtest::TestServer gone;
        ASSERT_TRUE(gone.start());
        port = gone.port();
    }
    r = getprocessor(false, QStringLiteral("http://127.0.0.1:%1/soap").arg(port))->call("Acknowledge");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.fault);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST_F(SoapClientTest, TheGettersPostToTheDebuggingServerOrToTheEndpointAWsdlNames)
{
    EXPECT_EQ(getprocessor(false)->client().endpoint(), "http://localhost:8081/vekwswad.vekwsdebug/soap/IProcessor");
    EXPECT_EQ(getprocessor(true)->client().wsdllocation(), "http://localhost:8081/vekwswad.vekwsdebug/wsdl/IProcessor");
    EXPECT_EQ(getsimpleprocessor(false)->client().endpoint(),
              "http://localhost:8081/vekws_simple_debug.WS_Simple_Debug/soap/ISimple_Processor");
    EXPECT_EQ(getsimpleprocessor(true)->client().wsdllocation(),
              "http://localhost:8081/vekws_simple_debug.WS_Simple_Debug/wsdl/ISimple_Processor");

    // The service's own description names its endpoint under the service and
    // port names the client looks up.
    service.reply("default.reply", "from%20the%20wsdl");
    const auto processor = getprocessor(true, service.url(QStringLiteral("/?wsdl")));
    const SoapResult r = processor->call("doGetFileData", {"x"});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value, "from%20the%20wsdl");
    EXPECT_EQ(processor->client().endpoint(), service.url());

    // A description without that service is an error, not a guess.
    webtest::TestServer other;
    other.routes().Get("/wsdl", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<definitions xmlns=\"http://schemas.xmlsoap.org/wsdl/\"><service name=\"Other\"/>"
                        "</definitions>",
                        "text/xml");
    });
    ASSERT_TRUE(other.start());
    const SoapResult missing = getprocessor(true, other.url(QStringLiteral("/wsdl")))->call("Acknowledge");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("IProcessorPort")) << missing.error.toStdString();
}

TEST_F(SoapClientTest, ProxySettingsFileGivesTheTransportOrNone)
{
    const QString file = proxysettingsfile();
    // The settings of a file that can be read: a failure would hide a proxy.
    const auto configOf = [](const QString& path) {
        const platform::Result<std::optional<TExtraSoapConfig>> read = soapproxyconfig(path);
        EXPECT_TRUE(read.ok()) << read.message().toStdString();
        return read.valueOr(std::nullopt);
    };
    EXPECT_FALSE(configOf(file).has_value()) << "no file";
    proxySetting(kProxyPortKey, "8080");
    proxySetting(kProxyUserKey, "someone");
    EXPECT_FALSE(configOf(file).has_value()) << "no host";
    proxySetting(kProxyHostKey, "   ");
    EXPECT_FALSE(configOf(file).has_value()) << "a blank host";
    EXPECT_FALSE(getprocessor(false, service.url())->client().config().has_value());

    proxySetting(kProxyHostKey, " proxy.test ");
    proxySetting(kProxyPassKey, protectstring(" secret "));
    auto config = configOf(file);
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->proxy.host, "proxy.test");
    EXPECT_EQ(config->proxy.port, 8080);
    EXPECT_EQ(config->proxy.user, "someone");
    EXPECT_EQ(config->proxy.password, "secret");
    ASSERT_EQ(platform::IniFile(file).deleteKey(kProxySection, kProxyPortKey), 0);
    EXPECT_EQ(configOf(file)->proxy.port, 3128);
    // The getter applies the data folder's file; a given config stands over it.
    EXPECT_EQ(getprocessor(false, service.url())->client().config()->proxy.host, "proxy.test");
    TExtraSoapConfig own{{"elsewhere.test", 1, {}, {}}};
    EXPECT_EQ(getprocessor(false, service.url(), {}, own)->client().config()->proxy.host, "elsewhere.test");
}

TEST_F(SoapClientTest, ACallGoesThroughTheProxyOfTheSettingsWithItsPassword)
{
    webtest::TinyProxy proxy(QStringLiteral("user1"), QStringLiteral("pass1"));
    ASSERT_TRUE(proxy.start()) << proxy.output().toStdString();
    service.reply("default.reply", "through");
    proxySetting(kProxyHostKey, "127.0.0.1");
    proxySetting(kProxyPortKey, QString::number(proxy.port()));
    proxySetting(kProxyUserKey, "user1");
    proxySetting(kProxyPassKey, protectstring("wrong"));
    SoapResult r = getprocessor(false, service.url())->call("doGetFileData", {"x"});
    EXPECT_FALSE(r.ok) << "the proxy refuses a wrong password";
    EXPECT_TRUE(service.requests().isEmpty());

    proxySetting(kProxyPassKey, protectstring("pass1"));
    r = getprocessor(false, service.url())->call("doGetFileData", {"x"});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value, "through");
    EXPECT_EQ(service.requests().size(), 1);
}

TEST_F(SoapClientTest, AnAttachmentReplyGivesItsFilePart)
{
    const QByteArray file = webtest::documentBytes(70000, 3);
    webtest::TestServer server;
    server.routes().Post("/soap", [&](const httplib::Request& req, httplib::Response& res) {
        EXPECT_EQ(req.get_header_value("SOAPAction"), "\"urn:ProcessorIntf-IProcessor#doGetFile\"");
        const QByteArray body = "--part\r\nContent-Type: text/xml\r\nContent-ID: <envelope>\r\n\r\n"
                                "<S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\"><S:Body>"
                                "<doGetFileResponse><return href=\"cid:data\"/></doGetFileResponse></S:Body>"
                                "</S:Envelope>\r\n--part\r\nContent-ID: <data>\r\n\r\n"
            + file + "\r\n--part--\r\n";
        res.set_content(webtest::toStd(body),
                        "multipart/related; type=\"text/xml\"; boundary=part; start=\"<envelope>\"");
    });
    ASSERT_TRUE(server.start());
    const SoapResult r = getprocessor(false, server.url(QStringLiteral("/soap")))->call("doGetFile", {"Stock.exe"});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.attachment, file);
}

// The service's string is all the text of its return element, CDATA included
// and comments left out; a return that holds elements is no string, and an
// error rather than an empty answer.
TEST_F(SoapClientTest, AReturnIsAllItsTextAndAReturnHoldingElementsIsAnError)
{
    const QByteArray head = "<?xml version='1.0' encoding='UTF-8'?>"
                            "<soap11env:Envelope xmlns:soap11env=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                            "xmlns:tns=\"urn:ProcessorIntf-IProcessor\"><soap11env:Body><tns:doGetFileDataResponse>"
                            "<tns:doGetFileDataResult>";
    const QByteArray tail = "</tns:doGetFileDataResult></tns:doGetFileDataResponse></soap11env:Body>"
                            "</soap11env:Envelope>";
    const struct {
        const char* what;
        QByteArray inner;
        bool ok;
        QString value;
    } cases[] = {
        {"plain text", "Stock.exe%3D1", true, "Stock.exe%3D1"},
        {"CDATA", "<![CDATA[Stock.exe%3D1]]>", true, "Stock.exe%3D1"},
        {"text, CDATA and text", "Stock<![CDATA[.exe]]>%3D1", true, "Stock.exe%3D1"},
        {"a comment inside", "Stock.exe<!-- why not -->%3D1", true, "Stock.exe%3D1"},
        {"an element inside", "<item>Stock.exe%3D1</item>", false, {}},
        {"text and an element", "Stock.exe<b>%3D1</b>", false, {}},
    };
    const auto processor = getprocessor(false, service.url(QStringLiteral("/soap")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        service.reply("Stock.exe.envelope", head + c.inner + tail);
        const SoapResult r = processor->call("doGetFileData", {urlencode("HSD=1&Folder=x\\Stock.exe", false, false)});
        EXPECT_EQ(r.ok, c.ok) << r.error.toStdString();
        if (c.ok) {
            EXPECT_EQ(r.value, c.value);
        } else {
            EXPECT_TRUE(r.error.contains("holds elements")) << r.error.toStdString();
        }
    }
}

// A settings file that could name a proxy but cannot be read: the call must
// not go direct around it.
TEST_F(SoapClientTest, AnUnreadableProxySettingsFileFailsTheCall)
{
    service.reply("default.reply", "direct");
    ASSERT_TRUE(QDir().mkpath(proxysettingsfile()));
    const SoapResult r = getprocessor(false, service.url())->call("doGetFileData", {"x"});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(kUnreadableProxySettings + proxysettingsfile())) << r.error.toStdString();
    EXPECT_TRUE(service.requests().isEmpty());
}

// A call carries the service password: one that does not check the server's
// certificate says so in the day's log, once a call.
TEST_F(SoapClientTest, AnUnverifiedCallIsLogged)
{
    service.reply("default.reply", "ok");
    ASSERT_EQ(platform::IniFile(proxysettingsfile()).writeString(kTlsSection, kTlsVerifyKey, "0"), 0);
    const auto processor = getprocessor(false, service.url());
    ASSERT_TRUE(processor->call("doGetFileData", {"x"}).ok);
    ASSERT_TRUE(processor->call("doGetFileData", {"y"}).ok);
    const QString log
        = QString::fromUtf8(testsupport::readFile(datafolder() + "VekPost/" + todayday() + ".vekpost.log"));
    EXPECT_EQ(log.count(kTlsUnverifiedWarning + " " + service.url()), 2) << log.toStdString();
}
