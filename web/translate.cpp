#include "web/translate.h"

#include "lib/messagehook.h"
#include "web/httpclient.h"
#include "web/transferlog.h"
#include "web/translationreply.h"
#include "web/websettings.h"

#include <QUrl>

namespace vek {
namespace {

// The user waits at the editor while the request runs: a service that stops
// answering must not hold the window for ever.
constexpr int kTranslateTimeoutMs = 15000;

QString endpoint()
{
    QString host = readhostsetting(kTranslateHostKey, kDefaultTranslateHost);
    if (!host.contains(QLatin1String("://")))
        host.prepend(QLatin1String("https://"));
    while (host.endsWith(u'/'))
        host.chop(1);
    return host;
}

}  // namespace

std::optional<QString> requesttranslation(const QString& fromlang, const QString& tolang, const QString& sourcetext)
{
    // The settings file is read first: one that cannot be read might name a
    // proxy, and the request must not go around it.
    const ProxySettings proxy = readproxysettings(proxysettingsfile());
    if (!proxy.error.isEmpty()) {
        libwarning(proxy.error, QString());
        return std::nullopt;
    }
    http::Request request;
    request.url = translationurl(endpoint(), fromlang, tolang, sourcetext);
    request.readTimeoutMs = kTranslateTimeoutMs;
    request.proxy = proxy.proxy;
    request.tls = readtlssettings();
    logunverified(request.tls, request.url);
    const http::Reply reply = http::perform(request);
    if (!reply.transferred || reply.status != 200) {
        libwarning(reply.transferred ? reply.statusLine : reply.error, QString());
        return std::nullopt;
    }
    return translatedsegments(reply.body).value_or(sourcetext);
}

QString translationurl(const QString& endpoint, const QString& fromlang, const QString& tolang,
                       const QString& sourcetext)
{
    const auto encoded = [](const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); };
    return endpoint + QStringLiteral("/translate_a/single?client=gtx&sl=") + encoded(fromlang) + QStringLiteral("&tl=")
        + encoded(tolang) + QStringLiteral("&dt=t&q=") + encoded(sourcetext);
}

QString translatetext(const QString& fromlang, const QString& tolang, const QString& sourcetext)
{
    return requesttranslation(fromlang, tolang, sourcetext).value_or(sourcetext);
}

}  // namespace vek
