#pragma once
// A scratch folder that is the data folder, the configuration folder's parent
// and the program's folder of the updater's tests, with the update service
// running and the settings pointing the updater at it.
#include "lib/folders.h"
#include "lib/webtext.h"
#include "libguards.h"
#include "logsecrets.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"
#include "update/updatesettings.h"
#include "updateservices.h"
#include "webservers.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>

namespace updatetest {

// The vendor's web host: the download script, serving the files put into it
// by name, and the update service's address, handed on to the Spyne service.
class VendorHost {
public:
    explicit VendorHost(int servicePort) : servicePort_(servicePort)
    {
        server_.routes().Get("/cgi-bin/gf.php", [this](const httplib::Request& req, httplib::Response& res) {
            std::unique_lock lock(mutex_);
            const QString name = QString::fromStdString(req.get_param_value("filename"));
            asked_.append(QString::fromStdString(req.get_param_value("sub")) + u'|' + name);
            if (const auto call = calls_.find(name); call != calls_.end())
                call.value()();
            if (const auto status = failures_.find(name); status != failures_.end()) {
                if (*status == 0) {
                    lock.unlock();  // the other requests go on meanwhile
                    server_.waitForRelease(std::chrono::seconds(60));
                    return;
                }
                res.status = *status;
                res.set_content("failed", "text/plain");
                return;
            }
            const auto it = files_.find(name);
            if (it == files_.end()) {
                res.status = 404;
                return;
            }
            res.set_content(webtest::toStd(*it), "application/octet-stream");
        });
        server_.routes().Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
            httplib::Client service("127.0.0.1", servicePort_);
            httplib::Headers headers{{"SOAPAction", req.get_header_value("SOAPAction")}};
            const auto reply = service.Post(req.path, headers, req.body, req.get_header_value("Content-Type"));
            if (!reply) {
                res.status = 502;
                return;
            }
            res.status = reply->status;
            res.set_content(reply->body, reply->get_header_value("Content-Type"));
        });
    }
    bool start() { return server_.start(); }
    QString url() const { return server_.url(QString()); }
    void offer(const QString& name, const QByteArray& bytes)
    {
        std::lock_guard lock(mutex_);
        files_.insert(name, bytes);
    }
    // The host has `name` no more: requests for it get 404.
    void withdraw(const QString& name)
    {
        std::lock_guard lock(mutex_);
        files_.remove(name);
        failures_.remove(name);
    }
    // Requests for `name` get `status` and no document; 0 keeps them waiting,
    // without a byte, until the host goes.
    void fail(const QString& name, int status)
    {
        std::lock_guard lock(mutex_);
        failures_.insert(name, status);
    }
    // `call` runs on the host's thread whenever `name` is asked for.
    void whenAsked(const QString& name, std::function<void()> call)
    {
        std::lock_guard lock(mutex_);
        calls_.insert(name, std::move(call));
    }
    // The downloads asked for, each "sub|filename".
    QStringList asked()
    {
        std::lock_guard lock(mutex_);
        return asked_;
    }

private:
    int servicePort_;
    webtest::TestServer server_;
    std::mutex mutex_;
    QMap<QString, QByteArray> files_;
    QMap<QString, int> failures_;
    QMap<QString, std::function<void()>> calls_;
    QStringList asked_;
};

// The argument of a recorded call, as the service decodes it.
inline QString sentArgument(const ReceivedRequest& request)
{
    static const QRegularExpression kValue(QStringLiteral("<Value[^>]*>([^<]*)</Value>"));
    return vek::urldecode(kValue.match(QString::fromUtf8(request.body)).captured(1));
}

class UpdateFixture : public ::testing::Test {
protected:
    UpdateFixture() : args_(runArguments({})), service(dir.file(QStringLiteral("service/")))
    {
        QDir().mkpath(dir.file(QStringLiteral("service")));
        QDir().mkpath(local());
    }
    void SetUp() override
    {
        ASSERT_TRUE(service.start()) << service.output().toStdString();
        vendor = std::make_unique<VendorHost>(service.port());
        ASSERT_TRUE(vendor->start());
        pointAt(vendor->url());
    }
    // No log the updater or its transfers wrote holds a password.
    void TearDown() override { webtest::expectNoPasswordInLogs(dir.path()); }
    QStringList runArguments(const QStringList& more) const
    {
        return QStringList{dir.file(QStringLiteral("TessarineInstaller")), QStringLiteral("LOCALFOLDER=") + dir.path()}
        + more;
    }
    // The run parameters of the test's program, besides the folder ones.
    void parameters(const QStringList& more) { args_.set(runArguments(more)); }
    // The vendor's web host of the updater's settings.
    void pointAt(const QString& webHost)
    {
        ASSERT_EQ(platform::createFolders(vek::configfolder()), 0);
        ASSERT_EQ(
            platform::IniFile(vek::updatesettingsfile()).writeString(vek::kUpdateSection, vek::kWebHostKey, webHost),
            0);
        ASSERT_EQ(platform::IniFile(vek::updatesettingsfile())
                      .writeString(vek::kUpdateSection, vek::kSenderKey, QStringLiteral("updates@vendor.test")),
                  0);
    }
    // The program folder whose files are checked and updated.
    QString local() const { return dir.file(QStringLiteral("programs/")); }
    // A local file last written at `when`.
    void localFile(const QString& name, const QByteArray& bytes, const QDateTime& when) const
    {
        testsupport::writeFile(local() + name, bytes);
        QFile file(local() + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    // The lines of a log file ("" when missing).
    static QStringList logLines(const QString& path)
    {
        return QString::fromUtf8(testsupport::readFile(path)).split(QStringLiteral("\r\n"));
    }
    QString dataLog() const { return vek::datafolder() + QStringLiteral("VekInstaller.log"); }
    QString filesLog() const { return vek::filesfolder() + QStringLiteral("logs/VekInstaller.log"); }

    testsupport::ScratchDir dir;
    testsupport::FilesFolderScope filesFolder;
    testsupport::RunArgumentsScope args_;
    SpyneService service;
    std::unique_ptr<VendorHost> vendor;
};

}  // namespace updatetest
