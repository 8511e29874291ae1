#pragma once
// The ready-to-call proxies of the update service's two interfaces,
// IProcessor and ISimple_Processor: every operation of an interface is called
// by its name with its arguments in the order of its parameters.
#include "update/soapclient.h"
#include "update/soapinterfaces.h"
#include "update/soapmessage.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace vek {

class SoapInterface {
public:
    SoapInterface(const SoapInterfaceInfo& info, std::shared_ptr<SoapClient> client)
        : info_(info), client_(std::move(client))
    {
    }

    const SoapInterfaceInfo& info() const { return info_; }
    SoapClient& client() { return *client_; }
    const SoapClient& client() const { return *client_; }

    // Calls the operation of that name (exact letter case) with `arguments`
    // in the order of its parameters. An operation the interface does not
    // have, or more arguments than it takes, is refused without a request.
    SoapResult call(const QString& operation, const QStringList& arguments = {});

private:
    const SoapInterfaceInfo& info_;
    std::shared_ptr<SoapClient> client_;
};

using IProcessor = SoapInterface;
using ISimple_Processor = SoapInterface;

// A proxy of IProcessor. An empty `address` is the local debugging server's
// (its WSDL path with `usewsdl`, its SOAP path without). `client` is shared
// when given, else a new one is made. Without `config`, the data folder's
// "ProxySettings.ini" gives the transport settings when it names a proxy; one
// that is there but cannot be read makes every call fail with its message. With
// `usewsdl` the address is the WSDL document's location, else the endpoint.
std::unique_ptr<IProcessor> getprocessor(bool usewsdl, const QString& address = {},
                                         std::shared_ptr<SoapClient> client = {},
                                         std::optional<TExtraSoapConfig> config = {});
// The same for ISimple_Processor.
std::unique_ptr<ISimple_Processor> getsimpleprocessor(bool usewsdl, const QString& address = {},
                                                      std::shared_ptr<SoapClient> client = {},
                                                      std::optional<TExtraSoapConfig> config = {});

}  // namespace vek
