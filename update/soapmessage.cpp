#include "update/soapmessage.h"

#include <QList>

#include <pugixml.hpp>
#include <string_view>

namespace vek {
namespace {

const char* const kEnvelopeNs = "http://schemas.xmlsoap.org/soap/envelope/";

std::string utf8(const QString& text)
{
    return text.toStdString();
}

QString text(const char* utf8Text)
{
    return QString::fromUtf8(utf8Text);
}

std::string_view localName(const pugi::xml_node& node)
{
    const std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view prefixOf(const pugi::xml_node& node)
{
    const std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

// The namespace an element's prefix stands for, looked up on it and its ancestors.
std::string namespaceOf(const pugi::xml_node& node)
{
    const std::string_view prefix = prefixOf(node);
    const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (const pugi::xml_attribute a = n.attribute(attribute.c_str()))
            return a.value();
    }
    return {};
}

pugi::xml_node childNamed(const pugi::xml_node& parent, std::string_view name)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && localName(child) == name)
            return child;
    }
    return {};
}

pugi::xml_node firstElement(const pugi::xml_node& parent)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            return child;
    }
    return {};
}

// A header parameter of a Content-Type value ("boundary", "start"), unquoted.
QByteArray headerParameter(const QByteArray& value, const QByteArray& name)
{
    for (const QByteArray& piece : value.split(';')) {
        const QByteArray p = piece.trimmed();
        const qsizetype eq = p.indexOf('=');
        if (eq > 0 && p.left(eq).trimmed().toLower() == name) {
            QByteArray v = p.mid(eq + 1).trimmed();
            if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
                v = v.mid(1, v.size() - 2);
            return v;
        }
    }
    return {};
}

struct MimePart {
    QByteArray contentId;  // without the angle brackets
    QByteArray body;
};

QList<MimePart> splitMultipart(const QByteArray& body, const QByteArray& boundary)
{
    QList<MimePart> parts;
    const QByteArray delimiter = "--" + boundary;
    qsizetype at = body.indexOf(delimiter);
    while (at >= 0) {
        qsizetype start = at + delimiter.size();
        if (body.mid(start, 2) == "--")
            break;  // the closing delimiter
        start = body.indexOf('\n', start);
        if (start < 0)
            break;
        ++start;
        const qsizetype next = body.indexOf("\r\n" + delimiter, start);
        const qsizetype end = next >= 0 ? next : body.size();
        const QByteArray whole = body.mid(start, end - start);
        qsizetype headersEnd = whole.indexOf("\r\n\r\n");
        qsizetype skip = 4;
        if (headersEnd < 0) {
            headersEnd = whole.indexOf("\n\n");
            skip = 2;
        }
        MimePart part;
        const QByteArray headers = headersEnd >= 0 ? whole.left(headersEnd) : QByteArray();
        part.body = headersEnd >= 0 ? whole.mid(headersEnd + skip) : whole;
        bool base64 = false;
        for (const QByteArray& line : headers.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-id")
                part.contentId = value.startsWith('<') && value.endsWith('>') ? value.mid(1, value.size() - 2) : value;
            else if (name == "content-transfer-encoding")
                base64 = value.toLower() == "base64";
        }
        if (base64)
            part.body = QByteArray::fromBase64(part.body);
        parts.append(part);
        at = next >= 0 ? next + 2 : -1;
    }
    return parts;
}

// The string a return element holds: all its text and CDATA, joined (a
// comment or processing instruction between them is no part of it). False for
// an element inside it: a structure is no string, and reading it as one would
// make a reply the client does not understand look like an empty answer.
bool returnedString(const pugi::xml_node& node, QString& out)
{
    std::string text;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            return false;
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    }
    out = QString::fromStdString(text);
    return true;
}

QString statusText(int status)
{
    return QStringLiteral("HTTP %1").arg(status);
}

}  // namespace

QByteArray soaprequest(const SoapInterfaceInfo& info, const SoapOperation& operation, const QStringList& arguments)
{
    pugi::xml_document doc;
    pugi::xml_node envelope = doc.append_child("SOAP-ENV:Envelope");
    envelope.append_attribute("xmlns:SOAP-ENV") = kEnvelopeNs;
    envelope.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema";
    envelope.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
    pugi::xml_node body = envelope.append_child("SOAP-ENV:Body");
    pugi::xml_node call = body.append_child(("NS1:" + utf8(operation.name)).c_str());
    call.append_attribute("xmlns:NS1") = utf8(info.ns).c_str();
    for (qsizetype i = 0; i < operation.parameters.size(); ++i) {
        pugi::xml_node parameter = call.append_child(utf8(operation.parameters[i]).c_str());
        parameter.append_attribute("xsi:type") = "xsd:string";
        parameter.text().set(utf8(i < arguments.size() ? arguments[i] : QString()).c_str());
    }
    struct Writer : pugi::xml_writer {
        QByteArray out;
        void write(const void* data, size_t size) override
        {
            out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
        }
    } writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + writer.out;
}

SoapResult readsoapreply(const SoapInterfaceInfo& info, const SoapOperation& operation, int status,
                         const QByteArray& contentType, const QByteArray& body)
{
    SoapResult result;
    QByteArray envelopeBytes = body;
    QList<MimePart> parts;
    if (contentType.trimmed().toLower().startsWith("multipart/")) {
        const QByteArray boundary = headerParameter(contentType, "boundary");
        parts = boundary.isEmpty() ? QList<MimePart>() : splitMultipart(body, boundary);
        if (parts.isEmpty()) {
            result.error = QStringLiteral("The service's multipart reply has no parts (%1).").arg(statusText(status));
            return result;
        }
        const QByteArray start = headerParameter(contentType, "start");
        qsizetype root = 0;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (!start.isEmpty() && "<" + parts[i].contentId + ">" == start)
                root = i;
        }
        envelopeBytes = parts[root].body;
        parts.removeAt(root);
    }

    pugi::xml_document doc;
    // Default parsing: no document type is read, so no entity is expanded.
    const pugi::xml_parse_result parsed
        = doc.load_buffer(envelopeBytes.constData(), static_cast<size_t>(envelopeBytes.size()));
    const pugi::xml_node envelope = parsed ? firstElement(doc) : pugi::xml_node();
    const pugi::xml_node soapBody
        = envelope && localName(envelope) == "Envelope" ? childNamed(envelope, "Body") : pugi::xml_node();
    if (!soapBody) {
        result.error = status >= 400
            ? QStringLiteral("The service answered %1.").arg(statusText(status))
            : QStringLiteral("The service's reply is no SOAP envelope (%1).").arg(statusText(status));
        return result;
    }
    const pugi::xml_node reply = firstElement(soapBody);
    if (reply && localName(reply) == "Fault") {
        result.fault = true;
        result.faultCode = text(childNamed(reply, "faultcode").text().get()).trimmed();
        result.error = text(childNamed(reply, "faultstring").text().get()).trimmed();
        const pugi::xml_node detail = firstElement(childNamed(reply, "detail"));
        if (detail && !info.faultClass.isEmpty() && localName(detail) == utf8(info.faultClass)
            && namespaceOf(detail) == utf8(info.faultNamespace))
            result.faultClass = info.faultClass;
        if (result.error.isEmpty())
            result.error = QStringLiteral("The service reported a fault (%1).").arg(result.faultCode);
        return result;
    }
    if (status >= 400) {
        result.error = QStringLiteral("The service answered %1.").arg(statusText(status));
        return result;
    }
    if (!reply || localName(reply) != utf8(operation.name + QStringLiteral("Response"))) {
        result.error = QStringLiteral("The service's reply does not answer %1.").arg(operation.name);
        return result;
    }
    const pugi::xml_node returned = firstElement(reply);
    if (returned && !returnedString(returned, result.value)) {
        result.error
            = QStringLiteral("The service's reply to %1 holds elements where its string belongs.").arg(operation.name);
        return result;
    }
    if (operation.attachment) {
        QByteArray reference = QByteArray(returned.attribute("href").value());
        if (reference.startsWith("cid:"))
            reference = reference.mid(4);
        const MimePart* file = nullptr;
        for (const MimePart& part : parts) {
            if (!file || (!reference.isEmpty() && part.contentId == reference))
                file = &part;
        }
        if (!file) {
            result.error = QStringLiteral("The service's reply to %1 carries no file.").arg(operation.name);
            return result;
        }
        result.attachment = file->body;
    }
    result.ok = true;
    return result;
}

}  // namespace vek
