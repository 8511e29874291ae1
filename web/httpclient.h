#pragma once
// One HTTP/1.1 exchange over libcurl, for the transfer component and the
// translation request: GET into a sink or into memory, multipart and raw
// POST, redirects followed (http and https only), a read time-out, an HTTP
// proxy with basic authentication, TLS 1.2 at least with the server's
// certificate and host name checked unless told otherwise. The exchange says
// whether the reply came whole; the caller decides what to do with it.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vek::http {

// The most a body kept in memory reserves ahead on the word of its
// Content-Length: a length a server merely claims must not take the memory.
inline constexpr qint64 kLongestBodyReserve = qint64(64) << 20;

struct ProxyServer {
    QString host;
    int port = 3128;
    QString user;
    QString password;
};

struct TlsSettings {
    // Checks the server's certificate and host name against the system's
    // trusted certificates, and those of `caFile` when given.
    bool verify = true;
    QString caFile;
};

// What a transfer reports while bytes move: the expected byte count once it is
// known (0 when not), the bytes so far, and the end.
struct Progress {
    std::function<void(qint64 expected)> begin;
    std::function<void(qint64 sofar)> working;
    std::function<void()> end;
};

struct FormFile {
    QString field;
    QString path;
    QByteArray contentType;
};

struct Reply;

struct Request {
    QString url;
    // The longest wait for the connection or for the next bytes, in
    // milliseconds; 0 or less waits as long as the system does.
    int readTimeoutMs = 0;
    std::optional<ProxyServer> proxy;
    TlsSettings tls;
    // Basic authentication with the server when `user` is not empty.
    QString user;
    QString password;
    enum class Method { Get, PostRaw, PostForm } method = Method::Get;
    QByteArray rawBody;
    QByteArray contentType;
    // Further request header lines ("Name: value"), sent as they stand.
    QList<QByteArray> headers;
    QList<std::pair<QString, QString>> fields;  // text fields, sent before the files
    QList<FormFile> files;
    // Takes the body of the final reply as it arrives; false stops the
    // transfer. Without a sink the body is kept in Reply::body.
    std::function<bool(const char* data, qint64 size)> sink;
    // Called once before the first body byte of the final reply reaches the
    // sink, with that reply's status line and headers; false stops the
    // transfer as a sink's false does.
    std::function<bool(const Reply& head)> bodyStarts;
    Progress progress;
};

struct Reply {
    // The exchange ran to the end of a reply as the protocol frames it. False
    // for no connection, a time-out, a TLS failure, a cut connection, a
    // refused proxy, a stopped sink or too many redirects; `error` says which.
    bool transferred = false;
    QString error;
    int status = 0;  // of the final reply; 0 when none came
    QString statusText;  // its reason phrase
    QString statusLine;  // e.g. "HTTP/1.1 404 Not Found"
    QStringList headers;  // its header lines, without the status line
    QByteArray body;  // without a sink
    qint64 contentLength = -1;
    bool chunked = false;
    qint64 received = 0;  // body bytes of the final reply
    // Whether the body is the whole document: transferred, and either a
    // Content-Length that the received bytes match or a chunked body that
    // ended with its last chunk. A reply framed by the closing connection
    // alone cannot be told from a cut one, so it never counts.
    bool complete() const;
};

// Runs the exchange on the calling thread; never throws.
Reply perform(const Request& request);

}  // namespace vek::http
