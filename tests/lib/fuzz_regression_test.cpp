// Replays the saved fuzz inputs through the property checks the fuzz harnesses
// run: the inputs that once broke a property (regressions/) and the kept
// corpus, so the ordinary test run guards what fuzzing established.
#include "fuzz/checks.h"
#include "fuzzreplay.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

using fuzzchecks::Harness;

int replay(const QString& kind, Harness harness)
{
    return testsupport::replayfuzzinputs(kind, fuzzchecks::harnessName(harness), [harness](const QByteArray& input) {
        return fuzzchecks::runCheck(harness, input);
    });
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
