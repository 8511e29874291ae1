#pragma once
// Replaying saved fuzz inputs through the property checks the harnesses run,
// for the ordinary test run: every file of tests/fuzz/<kind>/<harness>/.
#include <QDir>
#include <QFile>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// Runs `check` over every file of <kind>/<harness>/ (kind "regressions" or
// "corpus"); each must come back with no complaint. Returns how many files there were.
inline int replayfuzzinputs(const QString& kind, const QString& harness,
                            const std::function<QString(const QByteArray&)>& check)
{
    const QDir dir(QStringLiteral(TESSARINE_FUZZ_DIR "/") + kind + u'/' + harness);
    int count = 0;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << info.filePath().toStdString();
        EXPECT_EQ(check(file.readAll()), QString()) << info.filePath().toStdString();
        ++count;
    }
    return count;
}

}  // namespace testsupport
