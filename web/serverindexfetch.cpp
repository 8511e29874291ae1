#include "web/serverindexfetch.h"

#include "lib/folders.h"
#include "platform/winerror.h"
#include "web/webfoldertransfer.h"

#include <QUrl>

namespace vek {
namespace {

constexpr int kNotModified = 304;
constexpr int kNotFound = 404;
constexpr int kOk = 200;

QString statusof(const http::Reply& reply)
{
    return reply.statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(reply.status) : reply.statusLine;
}

}  // namespace

QString serverindexaddress(const QString& folderUrl)
{
    return addslash(folderUrl) + kServerIndexName;
}

QString serverprogramaddress(const QString& folderUrl, const QString& name)
{
    return addslash(folderUrl) + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

IndexFetch fetchserverindex(const QString& folderUrl, WebIndex& index)
{
    const QString address = serverindexaddress(folderUrl);
    QList<QByteArray> headers;
    if (index.fetched && !index.etag.isEmpty())
        headers.append("If-None-Match: " + index.etag.toLatin1());
    if (index.fetched && !index.lastModified.isEmpty())
        headers.append("If-Modified-Since: " + index.lastModified.toLatin1());
    WebFolderTransfer transfer;
    const http::Reply reply = transfer.get(address, headers);
    if (!reply.transferred)
        return {platform::winerr::NetworkFailure, kServerIndexNotFetched + address + u'\n' + reply.error};
    if (reply.status == kNotModified && index.fetched)
        return {};
    if (reply.status == kNotFound)
        return {platform::winerr::FileNotFound,
                kMissingServerIndex + address + QStringLiteral(" (") + statusof(reply) + u')' + kMakeIndexHint};
    if (reply.status != kOk)
        return {platform::winerr::NetworkFailure, kServerIndexNotFetched + address + u'\n' + statusof(reply)};
    if (!reply.complete())
        return {platform::winerr::NetworkFailure,
                kServerIndexNotFetched + address
                    + QStringLiteral("\nthe reply came incomplete (%1 bytes)").arg(reply.received)};
    ServerIndexRead read = parseserverindex(reply.body);
    if (!read.error.isEmpty())
        return {platform::winerr::DataMismatch, kServerIndexRefused + address + u'\n' + read.error};
    index.entries = std::move(read.entries);
    index.etag = headervalue(reply.headers, QStringLiteral("ETag"));
    index.lastModified = headervalue(reply.headers, QStringLiteral("Last-Modified"));
    index.fetched = true;
    return {};
}

}  // namespace vek
