#include "lib/stamps.h"
#include "libguards.h"
#include "platform/faultinjection.h"
#include "web/transferlog.h"
#include "web/translate.h"
#include "webfixture.h"
#include "webservers.h"

#include <cerrno>
#include <mutex>

using namespace vek;
using webtest::TestServer;

namespace {

// A translation service on 127.0.0.1 that answers with the reply the test
// sets, and notes the query it was asked.
class TranslateTest : public webtest::WebFixture {
protected:
    void SetUp() override
    {
        server.routes().Get("/translate_a/single", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            query = req.params;
            res.status = status;
            res.set_content(reply, contentType);
        });
        ASSERT_TRUE(server.start());
        setting(kHostsSection, kTranslateHostKey, server.url(""));
    }
    void answer(const std::string& body, int code = 200, const char* type = "application/json; charset=utf-8")
    {
        std::lock_guard lock(mutex);
        reply = body;
        status = code;
        contentType = type;
    }
    std::string asked(const std::string& key)
    {
        std::lock_guard lock(mutex);
        const auto it = query.find(key);
        return it == query.end() ? std::string("(none)") : it->second;
    }

    TestServer server;
    std::mutex mutex;
    std::string reply;
    int status = 200;
    std::string contentType;
    httplib::Params query;
    QStringList warnings;
    testsupport::WarningCallScope calls{[this](const QString& message, const QString& title) {
        EXPECT_TRUE(title.isEmpty());
        warnings << message;
    }};
};

}  // namespace

TEST_F(TranslateTest, TheRequest)
{
    answer(R"([[["Hallo","Hello",null,null,10]],null,"en"])");
    EXPECT_EQ(translatetext("en", "de", QStringLiteral("Hello & good-bye = \u00E4?")), "Hallo");
    EXPECT_EQ(asked("client"), "gtx");
    EXPECT_EQ(asked("sl"), "en");
    EXPECT_EQ(asked("tl"), "de");
    EXPECT_EQ(asked("dt"), "t");
    EXPECT_EQ(asked("q"), "Hello & good-bye = \xC3\xA4?") << "the text arrives whole, as UTF-8";
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(TranslateTest, TheTranslationOfEverySegmentWithItsEscapesDecoded)
{
    const struct {
        std::string reply;
        QString expected;
    } cases[] = {
        {R"([[["Hallo","Hello",null,null,10]],null,"en"])", "Hallo"},
        {R"([[["","",null,null,10]],null,"en"])", ""},
        // Several sentences: every one, not only the first.
        {R"([[["Hallo. ","Hello. ",null,null,10],["Wie geht's?","How are you?",null,null,10]],null,"en"])",
         "Hallo. Wie geht's?"},
        // A quote inside the translation is no end of it, and its backslash goes.
        {R"([[["Er sagte \"ja\"","He said \"yes\"",null,null,3]],null,"en"])", "Er sagte \"ja\""},
        {R"([[["caf\u00e9 \\ eins\nzwei","x",null,null,3]],null,"en"])", QStringLiteral("caf\u00E9 \\ eins\nzwei")},
        // A segment without text (a transliteration) is passed over.
        {R"([[["Privet","Hello",null,null,1],[null,null,"Privet"]],null,"en"])", "Privet"},
    };
    for (const auto& c : cases) {
        answer(c.reply);
        EXPECT_EQ(translatetext("en", "de", "source"), c.expected) << c.reply;
    }
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(TranslateTest, AReplyOfAnotherShapeGivesTheSourceBackSilently)
{
    for (const std::string& otherShape :
         {std::string("<html><body>Sorry</body></html>"), std::string(R"({"error":"x"})"),
          std::string(R"([null,null,"en"])"), std::string(R"([[[1,2]]])"), std::string("")}) {
        answer(otherShape, 200, "text/html");
        EXPECT_EQ(translatetext("en", "de", "source text"), "source text") << otherShape;
    }
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(TranslateTest, AFailedRequestWarnsOnceAndGivesTheSourceBack)
{
    answer("busy", 503, "text/plain");
    EXPECT_EQ(translatetext("en", "de", "source text"), "source text");
    EXPECT_EQ(warnings, QStringList{"HTTP/1.1 503 Service Unavailable"});
    warnings.clear();
    server.stop();
    EXPECT_EQ(translatetext("en", "de", "source text"), "source text");
    EXPECT_EQ(warnings.size(), 1);
}

// A request that does not check the server's certificate says so in the day's
// log, once a request, as every transfer does.
TEST_F(TranslateTest, AnUnverifiedRequestIsLogged)
{
    answer(R"([[["Hallo","Hello",null,null,10]],null,"en"])");
    setting(kTlsSection, kTlsVerifyKey, "0");
    EXPECT_EQ(translatetext("en", "de", "Hello"), "Hallo");
    EXPECT_EQ(translatetext("en", "de", "Hello"), "Hallo");
    const QString log = QString::fromUtf8(testsupport::readFile(data() + "VekPost/" + todayday() + ".vekpost.log"));
    EXPECT_EQ(log.count(kTlsUnverifiedWarning), 2) << log.toStdString();
}

// A settings file that could name a proxy but cannot be read sends no request.
TEST_F(TranslateTest, AnUnreadableProxySettingsFileSendsNoRequest)
{
    answer(R"([[["Hallo","Hello",null,null,10]],null,"en"])");
    testsupport::FaultScope faults;
    platform::injectFault(platform::FaultOp::Open, 1, EACCES);
    EXPECT_EQ(translatetext("en", "de", "Hello"), "Hello");
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(kUnreadableProxySettings)) << warnings[0].toStdString();
    EXPECT_EQ(asked("q"), "(none)");
}
