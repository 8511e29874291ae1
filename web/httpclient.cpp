#include "web/httpclient.h"

#include "platform/pathbytes.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <curl/curl.h>
#include <mutex>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace vek::http {
namespace {

constexpr long kReceiveBufferSize = 512L * 1024;

constexpr long kMaxRedirects = 15;

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Exchange {
    const Request* request = nullptr;
    Reply* reply = nullptr;
    QElapsedTimer lastActivity;
    curl_off_t lastCount = -1;
    bool begun = false;
    bool timedOut = false;
    bool sinkFailed = false;
    bool caFileFailed = false;
    // The blank line after the headers of the latest reply came.
    bool headersEnded = false;
    bool bodyStarted = false;
};

size_t onHeader(char* data, size_t size, size_t count, void* context)
{
    auto* ex = static_cast<Exchange*>(context);
    const size_t length = size * count;
    QByteArray line(data, static_cast<qsizetype>(length));
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    ex->lastActivity.restart();
    Reply& reply = *ex->reply;
    if (line.startsWith("HTTP/")) {
        // A new reply begins (after a redirect or an interim reply): only the
        // last one's headers count.
        reply.headers.clear();
        ex->headersEnded = false;
        reply.contentLength = -1;
        reply.chunked = false;
        reply.statusLine = QString::fromLatin1(line);
        const QList<QByteArray> parts = line.split(' ');
        reply.status = parts.size() > 1 ? parts[1].toInt() : 0;
        const qsizetype reason = line.indexOf(' ', line.indexOf(' ') + 1);
        reply.statusText = reason > 0 ? QString::fromLatin1(line.mid(reason + 1)) : QString();
        return length;
    }
    if (line.isEmpty()) {
        ex->headersEnded = true;
        return length;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) {
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            const qint64 n = value.toLongLong(&ok);
            reply.contentLength = ok && n >= 0 ? n : -1;
        } else if (name == "transfer-encoding") {
            reply.chunked = value.toLower().contains("chunked");
        }
    }
    reply.headers.append(QString::fromLatin1(line));
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* context)
{
    auto* ex = static_cast<Exchange*>(context);
    const size_t length = size * count;
    ex->lastActivity.restart();
    if (!ex->begun) {
        ex->begun = true;
        // A body kept in memory grows once to its announced length, not by
        // doubling through every size on the way.
        if (!ex->request->sink && ex->reply->contentLength > 0)
            ex->reply->body.reserve(std::min(ex->reply->contentLength, kLongestBodyReserve));
        if (ex->request->progress.begin)
            ex->request->progress.begin(std::max<qint64>(ex->reply->contentLength, 0));
    }
    if (!ex->bodyStarted) {
        ex->bodyStarted = true;
        if (ex->request->bodyStarts && !ex->request->bodyStarts(*ex->reply)) {
            ex->sinkFailed = true;
            return CURL_WRITEFUNC_ERROR;
        }
    }
    if (ex->request->sink) {
        if (!ex->request->sink(data, static_cast<qint64>(length))) {
            ex->sinkFailed = true;
            return CURL_WRITEFUNC_ERROR;
        }
    } else {
        ex->reply->body.append(data, static_cast<qsizetype>(length));
    }
    ex->reply->received += static_cast<qint64>(length);
    return length;
}

int onProgress(void* context, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow)
{
    auto* ex = static_cast<Exchange*>(context);
    const bool uploading = ex->request->method != Request::Method::Get && dlnow == 0;
    const curl_off_t now = uploading ? ulnow : dlnow;
    if (uploading && !ex->begun && ultotal > 0) {
        ex->begun = true;
        if (ex->request->progress.begin)
            ex->request->progress.begin(ultotal);
    }
    (void)dltotal;
    if (now != ex->lastCount) {
        ex->lastCount = now;
        ex->lastActivity.restart();
        if (ex->begun && ex->request->progress.working)
            ex->request->progress.working(now);
    } else if (ex->request->readTimeoutMs > 0 && ex->lastActivity.elapsed() > ex->request->readTimeoutMs) {
        ex->timedOut = true;
        return 1;
    }
    return 0;
}

// Adds the extra trusted certificate to the store that libcurl filled with
// the system's, so a vendor server with its own authority is trusted without
// giving up the public ones.
CURLcode onSslContext(CURL*, void* sslContext, void* context)
{
    auto* ex = static_cast<Exchange*>(context);
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    const QByteArray path = platform::encodePath(ex->request->tls.caFile);
    if (!store || X509_STORE_load_locations(store, path.constData(), nullptr) != 1) {
        ex->caFileFailed = true;
        return CURLE_SSL_CACERT_BADFILE;
    }
    return CURLE_OK;
}

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

}  // namespace

bool Reply::complete() const
{
    if (!transferred || (chunked && contentLength >= 0))
        return false;
    if (contentLength >= 0)
        return received == contentLength;
    return chunked;
}

Reply perform(const Request& request)
{
    initialiseOnce();
    Reply reply;
    Exchange ex;
    ex.request = &request;
    ex.reply = &reply;
    ex.lastActivity.start();

    CURL* curl = curl_easy_init();
    if (!curl) {
        reply.error = QStringLiteral("The transfer could not be set up.");
        return reply;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray url = utf8(request.url);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A redirect must not lead to a local file or another protocol.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &ex);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &ex);
    // Large downloads arrive in large pieces: a write and a progress step a
    // piece, not one every 16 KiB.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &ex);
    if (request.readTimeoutMs > 0)
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.readTimeoutMs));

    // TLS: 1.2 at least, the certificate and host name checked by default.
    curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, request.tls.verify ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, request.tls.verify ? 2L : 0L);
    if (request.tls.verify && !request.tls.caFile.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, onSslContext);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &ex);
    }

    // Only the proxy of the settings: an empty one also keeps libcurl from
    // taking one from the environment.
    QByteArray proxyHost, proxyUser, proxyPassword;
    if (request.proxy && !request.proxy->host.isEmpty()) {
        proxyHost = utf8(request.proxy->host);
        proxyUser = utf8(request.proxy->user);
        proxyPassword = utf8(request.proxy->password);
        curl_easy_setopt(curl, CURLOPT_PROXY, proxyHost.constData());
        curl_easy_setopt(curl, CURLOPT_PROXYPORT, static_cast<long>(request.proxy->port));
        curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
        curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        if (!proxyUser.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
            curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, proxyUser.constData());
            curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        }
    } else {
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
    }

    const QByteArray user = utf8(request.user);
    const QByteArray password = utf8(request.password);
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }

    curl_slist* headerList = nullptr;
    curl_mime* mime = nullptr;
    const QByteArray contentTypeHeader = "Content-Type: " + request.contentType;
    if (request.method == Request::Method::PostRaw) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.rawBody.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.rawBody.constData());
        headerList = curl_slist_append(headerList, contentTypeHeader.constData());
        // A large body goes at once, without waiting for the server's consent.
        headerList = curl_slist_append(headerList, "Expect:");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    } else if (request.method == Request::Method::PostForm) {
        mime = curl_mime_init(curl);
        for (const auto& [name, value] : request.fields) {
            curl_mimepart* part = curl_mime_addpart(mime);
            curl_mime_name(part, utf8(name).constData());
            const QByteArray data = utf8(value);
            curl_mime_data(part, data.constData(), static_cast<size_t>(data.size()));
        }
        for (const FormFile& file : request.files) {
            curl_mimepart* part = curl_mime_addpart(mime);
            curl_mime_name(part, utf8(file.field).constData());
            curl_mime_filedata(part, platform::encodePath(file.path).constData());
            curl_mime_filename(part, utf8(QFileInfo(file.path).fileName()).constData());
            curl_mime_type(part, file.contentType.constData());
        }
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);
        headerList = curl_slist_append(headerList, "Expect:");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    }
    for (const QByteArray& line : request.headers)
        headerList = curl_slist_append(headerList, line.constData());
    if (!request.headers.isEmpty())
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);

    const CURLcode rc = curl_easy_perform(curl);
    if (rc == CURLE_OK) {
        reply.transferred = true;
    } else if (ex.timedOut) {
        reply.error = QStringLiteral("Read timed out.");
    } else if (ex.sinkFailed) {
        reply.error = QStringLiteral("The received data could not be written.");
    } else if (rc == CURLE_OUT_OF_MEMORY && !ex.headersEnded) {
        // libcurl refuses a reply header beyond its limit as if memory had run out.
        reply.error = QStringLiteral("The server's reply header is larger than a reply header may be.");
    } else if (ex.caFileFailed) {
        reply.error = QStringLiteral("The trusted certificate file could not be read: ") + request.tls.caFile;
    } else {
        reply.error = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
    }
    long status = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status > 0)
        reply.status = static_cast<int>(status);
    if (ex.begun && request.progress.end)
        request.progress.end();

    curl_mime_free(mime);
    curl_slist_free_all(headerList);
    curl_easy_cleanup(curl);
    return reply;
}

}  // namespace vek::http
