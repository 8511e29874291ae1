// Replays the saved fuzz inputs through the property checks the fuzz harnesses
// run: the inputs that once broke a property (regressions/) and the kept
// corpus, so the ordinary test run guards what fuzzing established.
#include "fuzz/checks.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using fuzzchecks::Harness;

// Replays every file of <kind>/<harness>/; returns how many there were.
int replay(const QString& kind, Harness harness)
{
    const QDir dir(QStringLiteral(TESSARINE_FUZZ_DIR "/") + kind + u'/' + fuzzchecks::harnessName(harness));
    int count = 0;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << info.filePath().toStdString();
        EXPECT_EQ(fuzzchecks::runCheck(harness, file.readAll()), QString()) << info.filePath().toStdString();
        ++count;
    }
    return count;
}

}  // namespace

TEST(FuzzRegression, InputsThatOnceBrokeAPropertyNowPass)
{
    testsupport::ScratchDir scratch;
    fuzzchecks::setScratchFolder(scratch.path());
    int replayed = 0;
    for (const Harness harness : fuzzchecks::allHarnesses())
        replayed += replay(QStringLiteral("regressions"), harness);
    EXPECT_GT(replayed, 0);
}

TEST(FuzzRegression, EveryHarnessCorpusKeepsItsProperties)
{
    testsupport::ScratchDir scratch;
    fuzzchecks::setScratchFolder(scratch.path());
    for (const Harness harness : fuzzchecks::allHarnesses())
        EXPECT_GT(replay(QStringLiteral("corpus"), harness), 0) << fuzzchecks::harnessName(harness).toStdString();
}
