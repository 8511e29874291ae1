#pragma once
// The transport of the update service's interfaces: where a call is posted
// (an endpoint, or the one a WSDL document names for a service and port), the
// proxy it goes through, how long it may wait. One client may serve several
// interfaces.
#include "platform/result.h"
#include "update/soapmessage.h"
#include "web/httpclient.h"

#include <QString>

#include <optional>

namespace vek {

// The transport settings of a client: the proxy of a proxy settings file.
struct TExtraSoapConfig {
    http::ProxyServer proxy;
};

// The transport settings of the proxy settings file at `path`: none when the
// file is missing or its "HOST" (trimmed) is empty; otherwise that host, its
// "PORT" (3128 when missing), "USER" trimmed and the password turned back
// from "PASS" and trimmed. A failure, as readproxysettings, for a file that
// is there but cannot be read.
[[nodiscard]] platform::Result<std::optional<TExtraSoapConfig>> soapproxyconfig(const QString& path);

class SoapClient {
public:
    // The longest wait for the connection or for the next bytes of a reply.
    static constexpr int kDefaultTimeoutMs = 30000;

    SoapClient() = default;

    // Posts calls to `address`.
    void setendpoint(const QString& address);
    // Reads the endpoint from the WSDL document at `location`: the address of
    // port `port` of service `service`, looked up at the first call.
    void setwsdl(const QString& location, const QString& service, const QString& port);
    // The endpoint calls are posted to (empty while a WSDL is not yet read).
    QString endpoint() const { return endpoint_; }
    QString wsdllocation() const { return wsdl_; }
    void setconfig(std::optional<TExtraSoapConfig> config) { config_ = std::move(config); }
    const std::optional<TExtraSoapConfig>& config() const { return config_; }
    void settimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    // Makes every call fail with `message` without a request (empty: calls
    // go ahead): the proxy the calls must go through could not be learnt.
    void setsettingserror(const QString& message) { settingsError_ = message; }

    // Sends one call of `operation` and reads its reply; never throws. A call
    // that does not verify the server's certificate ("Verify=0") leaves a
    // warning in the day's transfer log: it carries the service password.
    SoapResult call(const SoapInterfaceInfo& info, const SoapOperation& operation, const QStringList& arguments);

private:
    http::Request request(const QString& url) const;
    // Fills endpoint_ from the WSDL document; a failure (winerr::IoDevice)
    // that says why when it cannot.
    [[nodiscard]] platform::Result<void> resolvewsdl();

    QString endpoint_;
    QString wsdl_;
    QString service_;
    QString port_;
    std::optional<TExtraSoapConfig> config_;
    int timeoutMs_ = kDefaultTimeoutMs;
    QString settingsError_;
};

}  // namespace vek
