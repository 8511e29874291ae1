#pragma once
// nginx (Debian's nginx-light) on 127.0.0.1, started by the test that needs
// it with a configuration of its own in a temporary folder (its pid file,
// logs and temporary folders there too), in the foreground as one process of
// the user who runs the tests, and stopped when the object goes. It serves a
// folder of the disk under "/x/", over HTTP or, with a certificate, HTTPS.
#include "webservers.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace webtest {

class NginxServer {
public:
    // Serves `root` (a folder ending in "/") under "/x/"; with `certificate`
    // over HTTPS. `serverLines` are added to the server block as written.
    explicit NginxServer(QString root, const Certificate* certificate = nullptr, QByteArray serverLines = {})
        : root_(std::move(root)), serverLines_(std::move(serverLines))
    {
        if (certificate)
            certificate_ = *certificate;
    }
    ~NginxServer() { stopProcess(process_); }
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Starts nginx and waits until it takes connections; false when it did
    // not (errorLog() says why). A port another program took between the
    // asking and the binding is tried again with another.
    bool start()
    {
        for (int tries = 0; tries < 5; ++tries) {
            port_ = freeLoopbackPort();
            const QString config = dir_.path() + QStringLiteral("/nginx.conf");
            testsupport::writeFile(config, configuration());
            process_.setProcessChannelMode(QProcess::MergedChannels);
            process_.start(QStringLiteral("nginx"),
                           {QStringLiteral("-p"), dir_.path() + u'/', QStringLiteral("-c"), config,
                            QStringLiteral("-e"), errorLogPath()});
            if (!process_.waitForStarted(10000))
                return false;
            for (int i = 0; i < 1000 && process_.state() == QProcess::Running; ++i) {
                if (acceptsConnections(port_))
                    return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            stopProcess(process_);
        }
        return false;
    }
    // Kills nginx at once, connections and all, as a server that goes down does.
    void kill()
    {
        process_.kill();
        process_.waitForFinished(10000);
    }
    int port() const { return port_; }
    // The address of `path` below the served folder.
    QString url(const QString& path = {}) const
    {
        return QStringLiteral("%1://127.0.0.1:%2/x/%3")
            .arg(certificate_.made ? QStringLiteral("https") : QStringLiteral("http"))
            .arg(port_)
            .arg(path);
    }
    QByteArray errorLog() { return testsupport::readFile(errorLogPath()) + process_.peek(1 << 16); }
    // The requests served so far, one line each: method, path, status. nginx
    // writes a request's line after its reply has gone, so a client can be
    // quicker than the log: this waits (ten seconds at most) until the log
    // has at least `lines` lines.
    QByteArray accessLog(int lines = 0) const
    {
        QByteArray log;
        for (int i = 0; i < 1000; ++i) {
            log = testsupport::readFile(dir_.path() + QStringLiteral("/access.log"));
            if (log.count('\n') >= lines)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return log;
    }

private:
    QString errorLogPath() const { return dir_.path() + QStringLiteral("/error.log"); }
    QByteArray configuration() const
    {
        const QByteArray folder = QFile::encodeName(dir_.path());
        QByteArray text = "daemon off;\nmaster_process off;\npid " + folder + "/nginx.pid;\nerror_log " + folder
            + "/error.log;\nevents { worker_connections 512; }\nhttp {\n"
              "  log_format brief '$request_method $uri $status';\n"
              "  access_log "
            + folder + "/access.log brief;\n";
        for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
            text += QByteArray("  ") + temp + "_temp_path " + folder + '/' + temp + ";\n";
        text += "  default_type application/octet-stream;\n  server {\n    listen 127.0.0.1:"
            + QByteArray::number(port_) + (certificate_.made ? " ssl" : "") + ";\n";
        if (certificate_.made)
            text += "    ssl_certificate " + QFile::encodeName(certificate_.certFile) + ";\n    ssl_certificate_key "
                + QFile::encodeName(certificate_.keyFile) + ";\n";
        text += "    location /x/ { alias " + QFile::encodeName(root_) + "; }\n" + serverLines_ + "  }\n}\n";
        return text;
    }

    QString root_;
    QByteArray serverLines_;
    Certificate certificate_;
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

}  // namespace webtest
