#pragma once
// The two remote interfaces of the vendor's update service, IProcessor and
// ISimple_Processor, as data: their namespaces, SOAP actions, default
// addresses, WSDL service and port names, and every operation in the order the
// service declares them, with its parameter names (element names of the
// request, case-sensitive) and what its reply carries.
#include <QList>
#include <QString>
#include <QStringList>

namespace vek {

struct SoapOperation {
    QString name;
    // The request's child elements, in order.
    QStringList parameters;
    // The reply carries a file part (a SOAP attachment) instead of a string.
    bool attachment = false;
};

struct SoapInterfaceInfo {
    QString name;
    // The namespace of every request element.
    QString ns;
    // The SOAP action: "%operationName%" stands for the operation's name.
    QString soapAction;
    // Paths on the local debugging server, used when no address is given.
    QString wsdlPath;
    QString soapPath;
    // The service and port looked up in a WSDL document.
    QString service;
    QString port;
    // The fault the service raises as its own exception class, when it has
    // one: the detail element's name and namespace.
    QString faultClass;
    QString faultNamespace;
    QList<SoapOperation> operations;

    // The operation of that name (exact letter case); nullptr when the
    // interface has none.
    const SoapOperation* operation(const QString& operationName) const;
    // The SOAP action of a call of the operation.
    QString actionFor(const QString& operationName) const;
};

const SoapInterfaceInfo& processorinterface();
const SoapInterfaceInfo& simpleprocessorinterface();

// The local debugging server that the default addresses point at.
inline const QString kDebugServer = QStringLiteral("http://localhost:8081");
inline const QString kOperationNamePlaceholder = QStringLiteral("%operationName%");

}  // namespace vek
