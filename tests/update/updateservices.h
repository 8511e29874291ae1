#pragma once
// The update service of the tests: a real SOAP server on Spyne
// (updateservice.py beside this file), started on a free port of 127.0.0.1 by
// the test that needs it and stopped when it goes. It answers from the files
// of its folder and records every request it took, so that a test checks
// both what the client sent and how it read the reply.
#include "testsupport.h"
#include "webservers.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

namespace updatetest {

// One request as the service received it.
struct ReceivedRequest {
    QString soapAction;
    QString contentType;
    QString path;
    QByteArray body;
};

class SpyneService {
public:
    // `folder` holds the replies and receives "requests.jsonl".
    explicit SpyneService(QString folder) : folder_(std::move(folder)) {}
    ~SpyneService() { webtest::stopProcess(process_); }
    // Starts the service and waits for its port; false when it could not be
    // started (what it wrote is in output()).
    bool start()
    {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(TESSARINE_UPDATE_SERVICE_SCRIPT), folder_});
        if (!process_.waitForStarted(10000))
            return false;
        for (;;) {
            while (process_.canReadLine()) {
                const QByteArray line = process_.readLine().trimmed();
                if (line.startsWith("PORT ")) {
                    port_ = line.mid(5).toInt();
                    return port_ > 0;
                }
            }
            if (!process_.waitForReadyRead(30000))
                return false;
        }
    }
    QByteArray output() { return process_.readAllStandardError(); }
    int port() const { return port_; }
    QString url(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }
    // Writes a reply file of the service's folder, as it is sent.
    void reply(const QString& name, const QByteArray& text) const { testsupport::writeFile(folder_ + name, text); }
    QList<ReceivedRequest> requests() const
    {
        QList<ReceivedRequest> out;
        QFile file(folder_ + QStringLiteral("requests.jsonl"));
        if (!file.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.trimmed().isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            out.append({o.value(QStringLiteral("soapaction")).toString(),
                        o.value(QStringLiteral("contenttype")).toString(), o.value(QStringLiteral("path")).toString(),
                        o.value(QStringLiteral("body")).toString().toUtf8()});
        }
        return out;
    }

private:
    QString folder_;
    QProcess process_;
    int port_ = 0;
};

}  // namespace updatetest
