#pragma once
// SOAP 1.1 messages of the update service: the request envelope of one call
// and the reading of its reply (a plain XML reply or a multipart one whose
// file part is the call's attachment). No network here.
#include "update/soapinterfaces.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vek {

// What a call of a service operation came back with. Nothing is thrown: a
// transport failure, an HTTP error, a SOAP fault and an unreadable reply all
// come back with `ok` false and `error` saying what happened.
struct [[nodiscard]] SoapResult {
    bool ok = false;
    // The operation's string result.
    QString value;
    // The file part of an attachment reply.
    QByteArray attachment;
    QString error;
    // For a SOAP fault: its code, and the service's exception class when the
    // fault's detail names the one the interface registers
    // ("vekSimple_ProcessorException"), else empty.
    bool fault = false;
    QString faultCode;
    QString faultClass;
};

inline const QByteArray kSoapContentType = QByteArrayLiteral("text/xml; charset=utf-8");

// The UTF-8 envelope of a call: the operation's element in the interface's
// namespace, one child element per parameter by name, each holding the
// argument of the same position (an empty text where none is given).
QByteArray soaprequest(const SoapInterfaceInfo& info, const SoapOperation& operation, const QStringList& arguments);

// Reads the reply to a call: a SOAP fault (whatever the HTTP status), the
// return element's string (all its text and CDATA joined; a return holding
// elements is an error), and for an attachment operation the file part of a
// multipart reply (the part the return element points at, else the first
// part after the envelope). `status` is the HTTP status; a reply that is no
// SOAP envelope is an error that names it.
SoapResult readsoapreply(const SoapInterfaceInfo& info, const SoapOperation& operation, int status,
                         const QByteArray& contentType, const QByteArray& body);

}  // namespace vek
