#include "web/webfoldertransfer.h"

#include "web/transferlog.h"

namespace vek {

WebFolderTransfer::WebFolderTransfer(TransferProgress progress) : TVekPost(std::move(progress))
{
}

http::Reply WebFolderTransfer::get(const QString& url, const QList<QByteArray>& headers,
                                   std::function<bool(const http::Reply& head)> bodyStarts,
                                   std::function<bool(const char* data, qint64 size)> sink)
{
    if (!applyProxyFile()) {
        http::Reply refused;
        refused.error = pErrstr;
        return refused;
    }
    http::Request request = baseRequest(url);
    request.headers = headers;
    request.bodyStarts = std::move(bodyStarts);
    request.sink = std::move(sink);
    AddLog(QStringLiteral("Asking for: ") + loggableaddress(url));
    http::Reply reply = http::perform(request);
    if (reply.status > 0)
        AddLog(QStringLiteral("Reply: ") + QString::number(reply.status) + QStringLiteral(": ") + reply.statusText);
    if (!reply.transferred) {
        pErrstr = reply.error;
        AddLog(QStringLiteral("Exception:") + reply.error + u' ' + loggableaddress(url));
    }
    return reply;
}

QString headervalue(const QStringList& headers, const QString& name)
{
    for (const QString& line : headers) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && QStringView(line).left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

}  // namespace vek
