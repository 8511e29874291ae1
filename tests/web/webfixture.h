#pragma once
// A scratch folder that is also the data folder of the transfers (their log,
// their settings file), for the tests of the transfer component.
#include "lib/folders.h"
#include "logsecrets.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"
#include "web/websettings.h"

#include <QDir>
#include <gtest/gtest.h>

namespace webtest {

class WebFixture : public ::testing::Test {
protected:
    WebFixture() : args_({dir.file(QStringLiteral("TessarineInstaller")), QStringLiteral("LOCALFOLDER=") + dir.path()})
    {
        QDir().mkpath(files());
    }
    // No log a test of the transfers wrote holds a password.
    void TearDown() override { expectNoPasswordInLogs(dir.path()); }
    // The data folder the transfers use.
    QString data() const { return vek::datafolder(); }
    // A folder of its own for downloaded files, so its listing shows every leftover.
    QString files() const { return dir.file(QStringLiteral("files/")); }
    QString settingsFile() const { return data() + vek::kProxySettingsName; }
    void setting(const QString& section, const QString& key, const QString& value)
    {
        ASSERT_EQ(platform::IniFile(settingsFile()).writeString(section, key, value), 0);
    }
    // The log lines pending on `post` that contain `text`.
    static QStringList logLinesWith(const QStringList& log, const QString& text) { return log.filter(text); }

    testsupport::ScratchDir dir;

private:
    testsupport::RunArgumentsScope args_;
};

}  // namespace webtest
