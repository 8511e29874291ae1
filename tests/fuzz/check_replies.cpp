// What servers send: the update service's SOAP replies and the file lines in
// them, the ".md5" side files, and the translation service's replies.
#include "familytargets.h"
#include "lang/langrows.h"
#include "lib/webtext.h"
#include "update/replyfiles.h"
#include "update/soapinterfaces.h"
#include "update/soapmessage.h"
#include "web/translationreply.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

using namespace vek;

namespace fuzzchecks {
namespace {

// XML character data for any text: markup and every control character as a
// character reference.
QByteArray xmlText(const QString& s)
{
    QString out;
    for (const QChar c : s) {
        if (c == u'<' || c == u'>' || c == u'&' || c.unicode() < 0x20)
            out += QStringLiteral("&#%1;").arg(c.unicode());
        else
            out += c;
    }
    return out.toUtf8();
}

// The service's string reply to doGetFileData as it comes over the wire.
QByteArray fileDataEnvelope(const QByteArray& inner)
{
    return "<?xml version='1.0' encoding='UTF-8'?>"
           "<soap11env:Envelope xmlns:soap11env=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:tns=\"urn:ProcessorIntf-IProcessor\"><soap11env:Body><tns:doGetFileDataResponse>"
           "<tns:doGetFileDataResult>"
        + inner
        + "</tns:doGetFileDataResult></tns:doGetFileDataResponse></soap11env:Body>"
          "</soap11env:Envelope>";
}

// What the updater takes from a decoded reply: never a name that leads out of
// the local folder, nor a name or field with a control character.
QString checkFileLines(const QString& reply)
{
    for (const QString& line : replylines(reply)) {
        REQUIRE(!line.isEmpty() && !line.contains(u'\r') && !line.contains(u'\n') && !line.contains(u'"'), shown(line));
        const std::optional<ReplyFile> file = replyfile(line);
        if (!file)
            continue;
        REQUIRE(!file->name.isEmpty() && file->name != QLatin1String(".") && file->name != QLatin1String(".."),
                shown(line));
        REQUIRE(!file->name.contains(u'/') && !file->name.contains(u'\\'), shown(line));
        REQUIRE(!hasControlCharacter(file->name), shown(line));
        REQUIRE(file->fields.size() >= 2, shown(line));
        for (const QString& field : file->fields)
            REQUIRE(!hasControlCharacter(field), shown(line));
    }
    return {};
}

// Any reply body: a result that failed says why, a fault is a failure, and
// the file lines of a string result hold the updater's properties.
QString checkSoapReply(Reader& in)
{
    const SoapInterfaceInfo& info = in.flag() ? simpleprocessorinterface() : processorinterface();
    const SoapOperation& operation = info.operations[in.byte() % info.operations.size()];
    static const int kStatuses[] = {200, 500, 404, 0, 302, 202};
    const int status = kStatuses[in.byte() % std::size(kStatuses)];
    const QByteArray contentType = in.chunk();
    const QByteArray body = in.rest();
    const SoapResult result = readsoapreply(info, operation, status, contentType, body);
    REQUIRE(result.ok || !result.error.isEmpty(), QString::fromLatin1(body.left(200)));
    REQUIRE(!(result.ok && result.fault), QString::fromLatin1(body.left(200)));
    if (result.ok && !operation.attachment)
        return checkFileLines(urldecode(result.value));
    return {};
}

// A string result reads back as the text the service put in its envelope.
QString checkSoapRoundTrip(Reader& in)
{
    // XML cannot carry a character 0, not even as a reference.
    const QString value = utf8Safe(in.text()).remove(QChar(0));
    const SoapOperation* operation = processorinterface().operation(QStringLiteral("doGetFileData"));
    REQUIRE(operation != nullptr, QString());
    const SoapResult result
        = readsoapreply(processorinterface(), *operation, 200, kSoapContentType, fileDataEnvelope(xmlText(value)));
    REQUIRE(result.ok, result.error);
    // The XML reader drops text that is only blanks and line ends.
    const bool onlySpace = std::all_of(value.cbegin(), value.cend(),
                                       [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
    REQUIRE(result.value == value || (onlySpace && result.value.isEmpty()),
            shown(value) + QStringLiteral(" -> ") + shown(result.value));
    return checkFileLines(urldecode(value));
}

// A side file's digest is 32 hexadecimal digits from its first line; a side
// file as written (the digest, then a blank and the name or a line end)
// gives its digest back.
QString checkSideFile(Reader& in)
{
    const int form = in.byte() % 4;
    const QByteArray bytes = in.rest();
    const QString text = QString::fromUtf8(bytes);
    if (const std::optional<QString> digest = sidefiledigest(text)) {
        REQUIRE(digest->size() == 32, shown(*digest));
        for (const QChar c : *digest)
            REQUIRE(QStringLiteral("0123456789abcdefABCDEF").contains(c), shown(*digest));
        REQUIRE(text.section(u'\n', 0, 0).trimmed().startsWith(*digest), shown(text));
    }
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()).toUpper();
    static const char* const kAfter[] = {"", "\r\n", "\n", "  "};
    const QString written = md5 + QLatin1String(kAfter[form]) + (form == 0 ? QString() : text);
    const std::optional<QString> back = sidefiledigest(written);
    REQUIRE(back && *back == md5, shown(written));
    return {};
}

// Any translation reply: a text it gives stays one record line. Segments put
// in the service's shape come back joined.
QString checkTranslation(Reader& in)
{
    const bool build = in.flag();
    if (!build) {
        const QByteArray body = in.rest();
        if (const std::optional<QString> text = translatedsegments(body)) {
            const QString record = langrowline(LangRow{QStringLiteral("label"), QStringLiteral("Titlelb"), *text});
            REQUIRE(!record.contains(u'\r') && !record.contains(u'\n') && !record.contains(QChar(0x2028))
                        && !record.contains(QChar(0x2029)),
                    shown(record));
        }
        return {};
    }
    QJsonArray segments;
    QString joined;
    while (!in.atEnd()) {
        const QString segment = utf8Safe(in.chunkText());
        segments.append(QJsonArray{segment, QStringLiteral("source"), QJsonValue(), QJsonValue()});
        joined += segment;
    }
    const QJsonArray reply{segments, QJsonValue(), QStringLiteral("en")};
    const QByteArray body = QJsonDocument(reply).toJson(QJsonDocument::Compact);
    const std::optional<QString> text = translatedsegments(body);
    REQUIRE(text.has_value() == !segments.isEmpty(), QString::fromUtf8(body.left(200)));
    if (text)
        REQUIRE(*text == joined, shown(joined) + QStringLiteral(" -> ") + shown(*text));
    return {};
}

}  // namespace

QString checkServiceReplies(Reader& in)
{
    switch (in.byte() % 5) {
    case 0:
        return checkSoapReply(in);
    case 1:
        return checkSoapRoundTrip(in);
    case 2:
        // A reply's text comes from UTF-8 XML: valid UTF-16 (Qt's regular
        // expressions find nothing in text with a lone surrogate).
        return checkFileLines(urldecode(utf8Safe(in.text())));
    case 3:
        return checkSideFile(in);
    default:
        return checkTranslation(in);
    }
}

}  // namespace fuzzchecks
