#include "web/serverindexfetch.h"

#include "lib/folders.h"
#include "platform/atomicwrite.h"
#include "platform/errortext.h"
#include "platform/winerror.h"
#include "trust/verify.h"
#include "web/transferlog.h"
#include "web/webfoldertransfer.h"

#include <QTemporaryDir>
#include <QUrl>

namespace vek {
namespace {

const QString kIndexIncomplete = QStringLiteral("\nthe reply came incomplete (%1 bytes)");

constexpr int kNotModified = 304;
constexpr int kNotFound = 404;
constexpr int kOk = 200;

QString statusof(const http::Reply& reply)
{
    return reply.statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(reply.status) : reply.statusLine;
}

// Checks the index `body` of `address` against its signature beside it, with
// `keys`: the signature fetched, both written to a folder of their own and
// verified as the index's name. 0 with the signature's timestamp in
// `signedAt`, or the refusal.
IndexFetch verifyindex(const QString& address, const QByteArray& body, WebFolderTransfer& transfer,
                       const trust::TrustedKeys& keys, qint64* signedAt)
{
    // A key that was named but cannot be used refuses every index: the
    // administrator meant signatures to be required.
    if (!keys.unreadable.isEmpty())
        return {platform::winerr::SignatureUnreadable,
                kServerIndexRefused + loggableaddress(address) + u'\n' + keys.unreadable.join(QStringLiteral("; "))};
    const QString signatureAddress = trust::signaturefor(address);
    const http::Reply signature = transfer.get(signatureAddress, {});
    if (!signature.transferred)
        return {platform::winerr::NetworkFailure,
                kServerIndexNotFetched + loggableaddress(signatureAddress) + u'\n' + signature.error};
    if (signature.status == kNotFound)
        return {platform::winerr::NotSigned,
                kServerIndexRefused + loggableaddress(address)
                    + kIndexNotSigned.arg(loggableaddress(signatureAddress))};
    if (signature.status != kOk || !signature.complete())
        return {platform::winerr::NetworkFailure,
                kServerIndexNotFetched + loggableaddress(signatureAddress) + u'\n' + statusof(signature)};
    const QTemporaryDir folder;
    const QString indexFile = folder.filePath(kServerIndexName);
    const QString signatureFile = trust::signaturefor(indexFile);
    int rc = folder.isValid() ? platform::writeFileAtomically(indexFile, body) : platform::winerr::PathNotFound;
    if (rc == 0)
        rc = platform::writeFileAtomically(signatureFile, signature.body);
    if (rc != 0)
        return {rc, kServerIndexRefused + loggableaddress(address) + u'\n' + platform::errorText(rc)};
    const trust::Verdict verdict = trust::verifyFile(indexFile, signatureFile, kServerIndexName, keys.keys);
    if (!verdict.ok())
        return {verdict.code, kServerIndexRefused + loggableaddress(address) + u'\n' + verdict.reason};
    *signedAt = verdict.timestamp;
    return {};
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

IndexFetch fetchserverindex(const QString& folderUrl, WebIndex& index, const trust::TrustedKeys& keys)
{
    const QString address = serverindexaddress(folderUrl);
    // Only an index verified as the keys ask may be kept as it is.
    const bool keep = index.fetched && (index.verified || !keys.required());
    QList<QByteArray> headers;
    if (keep && !index.etag.isEmpty())
        headers.append("If-None-Match: " + index.etag.toLatin1());
    if (keep && !index.lastModified.isEmpty())
        headers.append("If-Modified-Since: " + index.lastModified.toLatin1());
    // The index is read as it arrives; its bytes are kept only when its
    // signature is to be checked.
    ServerIndexReader reader;
    QByteArray body;
    bool reading = false;
    const auto bodyStarts = [&](const http::Reply& head) {
        reading = head.status == kOk;
        if (reading && head.contentLength > 0) {
            reader.reserve(head.contentLength);
            if (keys.required())
                body.reserve(qsizetype(std::min(head.contentLength, http::kLongestBodyReserve)));
        }
        return true;
    };
    const auto sink = [&](const char* data, qint64 size) {
        if (reading) {
            reader.add(QByteArrayView(data, qsizetype(size)));
            if (keys.required())
                body.append(data, qsizetype(size));
        }
        return true;
    };
    WebFolderTransfer transfer;
    const http::Reply reply = transfer.get(address, headers, bodyStarts, sink);
    if (!reply.transferred)
        return {platform::winerr::NetworkFailure,
                kServerIndexNotFetched + loggableaddress(address) + u'\n' + reply.error};
    if (reply.status == kNotModified && keep)
        return {};
    if (reply.status == kNotFound)
        return {platform::winerr::FileNotFound,
                kMissingServerIndex + loggableaddress(address) + QStringLiteral(" (") + statusof(reply) + u')'
                    + kMakeIndexHint};
    if (reply.status != kOk)
        return {platform::winerr::NetworkFailure,
                kServerIndexNotFetched + loggableaddress(address) + u'\n' + statusof(reply)};
    if (!reply.complete())
        return {platform::winerr::NetworkFailure,
                kServerIndexNotFetched + loggableaddress(address) + kIndexIncomplete.arg(reply.received)};
    qint64 signedAt = 0;
    if (keys.required()) {
        if (IndexFetch refused = verifyindex(address, body, transfer, keys, &signedAt); refused.code != 0)
            return refused;
    }
    ServerIndexRead read = reader.finish();
    if (!read.error.isEmpty())
        return {platform::winerr::DataMismatch, kServerIndexRefused + loggableaddress(address) + u'\n' + read.error};
    index.entries = std::move(read.entries);
    index.etag = headervalue(reply.headers, QStringLiteral("ETag"));
    index.lastModified = headervalue(reply.headers, QStringLiteral("Last-Modified"));
    index.fetched = true;
    index.verified = keys.required();
    index.signedAt = signedAt;
    return {};
}

}  // namespace vek
