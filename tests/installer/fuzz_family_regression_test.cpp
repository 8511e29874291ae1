// Replays the saved fuzz inputs of the harnesses over the higher parts
// (language files, replies, settings, window state, command line) through the
// checks the harnesses run: the inputs that once broke a property
// (regressions/) and the kept corpus.
#include "fuzz/familychecks.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using fuzzchecks::FamilyHarness;

// Replays every file of <kind>/<harness>/; returns how many there were.
int replay(const QString& kind, FamilyHarness harness)
{
    const QDir dir(QStringLiteral(TESSARINE_FUZZ_DIR "/") + kind + u'/' + fuzzchecks::familyHarnessName(harness));
    int count = 0;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << info.filePath().toStdString();
        EXPECT_EQ(fuzzchecks::runFamilyCheck(harness, file.readAll()), QString()) << info.filePath().toStdString();
        ++count;
    }
    return count;
}

}  // namespace

TEST(FuzzFamilyRegression, InputsThatOnceBrokeAPropertyNowPass)
{
    testsupport::ScratchDir scratch;
    fuzzchecks::setScratchFolder(scratch.path());
    int replayed = 0;
    for (const FamilyHarness harness : fuzzchecks::allFamilyHarnesses())
        replayed += replay(QStringLiteral("regressions"), harness);
    EXPECT_GT(replayed, 0);
}

TEST(FuzzFamilyRegression, EveryHarnessCorpusKeepsItsProperties)
{
    testsupport::ScratchDir scratch;
    fuzzchecks::setScratchFolder(scratch.path());
    for (const FamilyHarness harness : fuzzchecks::allFamilyHarnesses())
        EXPECT_GT(replay(QStringLiteral("corpus"), harness), 0) << fuzzchecks::familyHarnessName(harness).toStdString();
}
