// Replays the saved fuzz inputs of the harnesses over the higher parts
// (language files, replies, settings, window state, command line) through the
// checks the harnesses run: the inputs that once broke a property
// (regressions/) and the kept corpus.
#include "fuzz/familychecks.h"
#include "fuzzreplay.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

using fuzzchecks::FamilyHarness;

int replay(const QString& kind, FamilyHarness harness)
{
    return testsupport::replayfuzzinputs(
        kind, fuzzchecks::familyHarnessName(harness),
        [harness](const QByteArray& input) { return fuzzchecks::runFamilyCheck(harness, input); });
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
