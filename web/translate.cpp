#include "web/translate.h"

#include "lib/messagehook.h"
#include "web/httpclient.h"
#include "web/transferlog.h"
#include "web/websettings.h"

#include <QJsonArray>
#include <QJsonDocument>
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

// The reply is nested arrays whose first element lists the segments, each
// an array beginning with its translated text: [[["Hallo. ","Hello. ",...],
// ["Wie geht's?","How are you?",...]],null,"en"]. A trailing segment may carry
// no text (a transliteration), and is passed over.
std::optional<QString> translatedsegments(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonValue segments = document.array().first();
    if (!segments.isArray())
        return std::nullopt;
    std::optional<QString> text;
    for (const QJsonValue segment : segments.toArray()) {
        if (!segment.isArray() || !segment.toArray().first().isString())
            continue;
        text = text.value_or(QString()) + segment.toArray().first().toString();
    }
    return text;
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
    request.url = endpoint() + QStringLiteral("/translate_a/single?client=gtx&sl=") + fromlang + QStringLiteral("&tl=")
        + tolang + QStringLiteral("&dt=t&q=") + QString::fromLatin1(QUrl::toPercentEncoding(sourcetext));
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

QString translatetext(const QString& fromlang, const QString& tolang, const QString& sourcetext)
{
    return requesttranslation(fromlang, tolang, sourcetext).value_or(sourcetext);
}

}  // namespace vek
