#pragma once
// Real servers on 127.0.0.1 for the transfer tests, each started on a free
// port by the test that needs it and stopped when it goes: an HTTP or HTTPS
// server (cpp-httplib) with a certificate made for the run, and helpers for
// the settings file the transfers read. Nothing here reaches past loopback.
#define CPPHTTPLIB_OPENSSL_SUPPORT
#include <httplib.h>

#include "testsupport.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace webtest {

// A certificate and its key in PEM files, made by the openssl program.
struct Certificate {
    QString certFile;
    QString keyFile;
    bool made = false;
};

// A self-signed certificate for `subjectAltName` (e.g. "IP:127.0.0.1"), made
// once per name for the whole test program.
inline Certificate certificateFor(const QString& subjectAltName)
{
    static QTemporaryDir dir;
    static std::map<QString, Certificate> made;
    auto it = made.find(subjectAltName);
    if (it != made.end())
        return it->second;
    Certificate c;
    const QString stem = dir.path() + QStringLiteral("/cert%1").arg(made.size());
    c.certFile = stem + QStringLiteral(".pem");
    c.keyFile = stem + QStringLiteral(".key");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), c.keyFile, QStringLiteral("-out"), c.certFile, QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=Tessarine test server"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=") + subjectAltName});
    c.made = openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
    made[subjectAltName] = c;
    return c;
}

// An HTTP server (HTTPS with a certificate) on 127.0.0.1, listening from
// construction to destruction. Routes are added before start().
class TestServer {
public:
    TestServer() : server_(std::make_unique<httplib::Server>()) {}
    explicit TestServer(const Certificate& certificate)
        : server_(std::make_unique<httplib::SSLServer>(certificate.certFile.toLocal8Bit().constData(),
                                                       certificate.keyFile.toLocal8Bit().constData())),
          https_(true)
    {
    }
    ~TestServer() { stop(); }

    httplib::Server& routes() { return *server_; }
    // Binds to a free port and serves on a thread of its own; false when the
    // port could not be had.
    bool start()
    {
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0)
            return false;
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        // stop() only reaches a server that runs: one stopped before it does
        // would serve on for ever.
        for (int i = 0; i < 10000 && !server_->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return server_->is_running();
    }
    void stop()
    {
        release();
        if (thread_.joinable()) {
            server_->stop();
            thread_.join();
        }
    }
    int port() const { return port_; }
    QString url(const QString& path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(https_ ? QStringLiteral("https") : QStringLiteral("http"))
            .arg(port_)
            .arg(path);
    }
    // Handlers that stall wait for this (or for the server to stop).
    void waitForRelease(std::chrono::milliseconds longest)
    {
        std::unique_lock lock(mutex_);
        released_.wait_for(lock, longest, [this] { return releasedFlag_; });
    }
    void release()
    {
        {
            std::lock_guard lock(mutex_);
            releasedFlag_ = true;
        }
        released_.notify_all();
    }

private:
    std::unique_ptr<httplib::Server> server_;
    bool https_ = false;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool releasedFlag_ = false;
};

// A server that answers every request with the same bytes, as written, and
// closes the connection: for replies no well-behaved server library sends.
// Given a function, it answers each request (its head, as received) with what
// the function returns.
class RawReplyServer {
public:
    explicit RawReplyServer(QByteArray reply)
        : RawReplyServer([reply = std::move(reply)](const std::string&) { return reply; })
    {
    }
    explicit RawReplyServer(std::function<QByteArray(const std::string& request)> reply) : reply_(std::move(reply))
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, 8) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~RawReplyServer()
    {
        stopping_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable())
            thread_.join();
        ::close(fd_);
    }
    QString url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path); }

private:
    void serve()
    {
        while (!stopping_) {
            const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                return;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(n));
            }
            const QByteArray reply = reply_(request);
            const char* data = reply.constData();
            for (qsizetype left = reply.size(); left > 0;) {
                const ssize_t n = ::send(client, data, static_cast<size_t>(left), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                data += n;
                left -= n;
            }
            ::shutdown(client, SHUT_WR);
            ::close(client);
        }
    }

    std::function<QByteArray(const std::string& request)> reply_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// Ends a peer program the test started: asked first, killed when it does not go.
inline void stopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(10000);
    }
}

// A port of 127.0.0.1 that nobody listens on at the moment of asking.
inline int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// Whether something takes connections on `port` of 127.0.0.1.
inline bool acceptsConnections(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// A real HTTP proxy, tinyproxy, on a free port of 127.0.0.1 with basic
// authentication, from start() until the object goes. Its configuration takes
// user names and passwords of letters and digits only.
class TinyProxy {
public:
    TinyProxy(QString user, QString password) : user_(std::move(user)), password_(std::move(password)) {}
    ~TinyProxy() { stopProcess(process_); }
    // Starts the proxy and waits until it takes connections; false when it
    // could not be started (the reason is in error()).
    bool start()
    {
        port_ = freeLoopbackPort();
        const QString config = dir_.path() + QStringLiteral("/tinyproxy.conf");
        QByteArray text = "Port " + QByteArray::number(port_)
            + "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\n"
              "MaxClients 20\nLogLevel Info\n";
        text += "BasicAuth " + user_.toUtf8() + ' ' + password_.toUtf8() + '\n';
        testsupport::writeFile(config, text);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QStringLiteral("tinyproxy"), {QStringLiteral("-d"), QStringLiteral("-c"), config});
        if (!process_.waitForStarted(10000))
            return false;
        for (int i = 0; i < 1000; ++i) {
            if (acceptsConnections(port_))
                return true;
            if (process_.state() == QProcess::NotRunning)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    int port() const { return port_; }
    // What the proxy wrote so far (why it did not start, for one).
    QByteArray output()
    {
        process_.waitForReadyRead(1000);
        return process_.readAll();
    }

private:
    QString user_;
    QString password_;
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

// Bytes that differ from offset to offset, so a shifted or repeated piece shows.
inline QByteArray documentBytes(int size, quint32 seed = 1)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

inline std::string toStd(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace webtest
