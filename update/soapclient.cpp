#include "update/soapclient.h"

#include "platform/winerror.h"
#include "web/transferlog.h"
#include "web/websettings.h"

#include <pugixml.hpp>
#include <string_view>

namespace vek {
namespace {

std::string_view localName(const char* name)
{
    const std::string_view n = name;
    const size_t colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

// The first descendant element of `node` with that local name and, when
// `nameAttribute` is given, that "name" attribute.
pugi::xml_node findElement(const pugi::xml_node& node, std::string_view local, const QString& nameAttribute = {})
{
    const std::string wanted = nameAttribute.toStdString();
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        if (localName(child.name()) == local && (nameAttribute.isEmpty() || wanted == child.attribute("name").value()))
            return child;
        if (const pugi::xml_node deeper = findElement(child, local, nameAttribute))
            return deeper;
    }
    return {};
}

QString replyHeader(const http::Reply& reply, const QByteArray& name)
{
    for (const QString& line : reply.headers) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed().toLatin1().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

}  // namespace

platform::Result<std::optional<TExtraSoapConfig>> soapproxyconfig(const QString& path)
{
    const platform::Result<std::optional<http::ProxyServer>> settings = readproxysettings(path);
    if (!settings.ok())
        return settings.failure();
    if (!settings.value())
        return std::optional<TExtraSoapConfig>();
    return std::optional<TExtraSoapConfig>(TExtraSoapConfig{*settings.value()});
}

void SoapClient::setendpoint(const QString& address)
{
    endpoint_ = address;
    wsdl_.clear();
}

void SoapClient::setwsdl(const QString& location, const QString& service, const QString& port)
{
    wsdl_ = location;
    service_ = service;
    port_ = port;
    endpoint_.clear();
}

http::Request SoapClient::request(const QString& url) const
{
    http::Request request;
    request.url = url;
    request.readTimeoutMs = timeoutMs_;
    if (config_)
        request.proxy = config_->proxy;
    request.tls = readtlssettings();
    return request;
}

platform::Result<void> SoapClient::resolvewsdl()
{
    const auto failed = [](const QString& message) { return platform::fail(platform::winerr::IoDevice, message); };
    const http::Reply reply = http::perform(request(wsdl_));
    if (!reply.transferred)
        return failed(QStringLiteral("The service description %1 could not be read: %2").arg(wsdl_, reply.error));
    if (reply.status != 200) {
        return failed(
            QStringLiteral("The service description %1 could not be read: HTTP %2").arg(wsdl_).arg(reply.status));
    }
    pugi::xml_document doc;
    if (!doc.load_buffer(reply.body.constData(), static_cast<size_t>(reply.body.size())))
        return failed(QStringLiteral("The service description %1 is no XML document.").arg(wsdl_));
    const pugi::xml_node service = findElement(doc, "service", service_);
    const pugi::xml_node port = service ? findElement(service, "port", port_) : pugi::xml_node();
    const pugi::xml_node address = port ? findElement(port, "address") : pugi::xml_node();
    const QString location = QString::fromUtf8(address.attribute("location").value());
    if (location.isEmpty()) {
        return failed(
            QStringLiteral("The service description %1 names no address for %2 of %3.").arg(wsdl_, port_, service_));
    }
    endpoint_ = location;
    return {};
}

SoapResult SoapClient::call(const SoapInterfaceInfo& info, const SoapOperation& operation, const QStringList& arguments)
{
    if (!settingsError_.isEmpty()) {
        SoapResult refused;
        refused.error = settingsError_;
        return refused;
    }
    const http::TlsSettings tls = readtlssettings();
    logunverified(tls, endpoint_.isEmpty() ? wsdl_ : endpoint_);
    if (endpoint_.isEmpty() && !wsdl_.isEmpty()) {
        if (const platform::Result<void> resolved = resolvewsdl(); !resolved.ok()) {
            SoapResult failed;
            failed.error = resolved.message();
            return failed;
        }
    }
    http::Request post = request(endpoint_);
    post.method = http::Request::Method::PostRaw;
    post.contentType = kSoapContentType;
    post.rawBody = soaprequest(info, operation, arguments);
    post.headers = {"SOAPAction: \"" + info.actionFor(operation.name).toUtf8() + '"'};
    const http::Reply reply = http::perform(post);
    if (!reply.transferred) {
        SoapResult failed;
        failed.error = reply.error.isEmpty() ? QStringLiteral("No connection to ") + endpoint_ : reply.error;
        return failed;
    }
    return readsoapreply(info, operation, reply.status, replyHeader(reply, "content-type").toLatin1(), reply.body);
}

}  // namespace vek
