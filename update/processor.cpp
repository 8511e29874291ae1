#include "update/processor.h"

#include "platform/result.h"
#include "web/websettings.h"

namespace vek {
namespace {

std::unique_ptr<SoapInterface> makeinterface(const SoapInterfaceInfo& info, bool usewsdl, const QString& address,
                                             std::shared_ptr<SoapClient> client, std::optional<TExtraSoapConfig> config)
{
    const QString where = address.isEmpty() ? kDebugServer + (usewsdl ? info.wsdlPath : info.soapPath) : address;
    if (!client)
        client = std::make_shared<SoapClient>();
    if (!config) {
        const platform::Result<std::optional<TExtraSoapConfig>> settings = soapproxyconfig(proxysettingsfile());
        client->setsettingserror(settings.message());
        config = settings.valueOr(std::nullopt);
    }
    if (config)
        client->setconfig(config);
    if (usewsdl)
        client->setwsdl(where, info.service, info.port);
    else
        client->setendpoint(where);
    return std::make_unique<SoapInterface>(info, std::move(client));
}

}  // namespace

SoapResult SoapInterface::call(const QString& operation, const QStringList& arguments)
{
    const SoapOperation* op = info_.operation(operation);
    SoapResult refused;
    if (!op) {
        refused.error = info_.name + QStringLiteral(" has no operation ") + operation;
        return refused;
    }
    if (arguments.size() > op->parameters.size()) {
        refused.error = QStringLiteral("%1 takes %2 arguments, not %3")
                            .arg(operation)
                            .arg(op->parameters.size())
                            .arg(arguments.size());
        return refused;
    }
    return client_->call(info_, *op, arguments);
}

std::unique_ptr<IProcessor> getprocessor(bool usewsdl, const QString& address, std::shared_ptr<SoapClient> client,
                                         std::optional<TExtraSoapConfig> config)
{
    return makeinterface(processorinterface(), usewsdl, address, std::move(client), std::move(config));
}

std::unique_ptr<ISimple_Processor> getsimpleprocessor(bool usewsdl, const QString& address,
                                                      std::shared_ptr<SoapClient> client,
                                                      std::optional<TExtraSoapConfig> config)
{
    return makeinterface(simpleprocessorinterface(), usewsdl, address, std::move(client), std::move(config));
}

}  // namespace vek
