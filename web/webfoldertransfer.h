#pragma once
// The transfers of a server folder on a web server: the index and the program
// files, fetched with the transfer component's proxy, TLS, time-out and log.
#include "web/vekpost.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace vek {

class WebFolderTransfer : public TVekPost {
public:
    // Transfers that report their bytes to `progress` (none when empty).
    explicit WebFolderTransfer(TransferProgress progress = {});

    // GETs `url` with the further request header lines `headers` ("Name:
    // value"). Without a sink the body is kept in the reply; with one, each
    // piece of the final reply's body goes to `sink` once `bodyStarts` (when
    // given) has seen its status and headers, and either returning false
    // stops the transfer. Proxy settings that cannot be read fail it before
    // any traffic (transferred false, `error` the message). The address and
    // the reply's status are logged as a download's are.
    http::Reply get(const QString& url, const QList<QByteArray>& headers,
                    std::function<bool(const http::Reply& head)> bodyStarts = {},
                    std::function<bool(const char* data, qint64 size)> sink = {});
};

// The value of the header `name` (any letter case) among `headers` ("Name:
// value" lines), trimmed; empty when it is not there.
QString headervalue(const QStringList& headers, const QString& name);

}  // namespace vek
