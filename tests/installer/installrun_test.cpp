// One install run: every program in order, each installed once, and what the
// window hears while it goes.
#include "installer/installrun.h"
#include "lib/generations.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace installer;

using testsupport::readFile;
using testsupport::writeFile;

namespace {

// Writes down what an observer hears, one line a call.
class Recorder : public installer::InstallObserver {
public:
    void starting(int index, int count, const QString& name) override
    {
        heard << QStringLiteral("start %1/%2 %3").arg(index).arg(count).arg(name);
    }
    void copying(int index, int, qint64 copied, qint64 total) override
    {
        if (copied == total)
            heard << QStringLiteral("copied %1 %2").arg(index).arg(total);
    }
    void finished(int index, int, const InstallOutcome& outcome) override
    {
        heard << QStringLiteral("done %1 %2 %3").arg(index).arg(outcome.name, outcome.installed ? "ok" : "failed");
    }
    QStringList heard;
};

}  // namespace

TEST(InstallRun, InstallsEachProgramOnceAndTellsWhatBecameOfEach)
{
    const testsupport::InstallFolders dir;
    writeFile(dir.server() + "a.exe", "new a");
    writeFile(dir.server() + "Big.dll", QByteArray(9 * 1024 * 1024, 'b'));
    writeFile(dir.local() + "a.exe", "old a");
    Recorder recorder;
    // "BIG.DLL" is Big.dll in other letter case: the same program again.
    const QList<InstallOutcome> outcomes = installer::installprograms(
        dir.server(), dir.local(), {"a.exe", "gone.exe", "Big.dll", "a.exe", "BIG.DLL"}, &recorder);

    ASSERT_EQ(outcomes.size(), 5);
    const bool expected[] = {true, false, true, true, true};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(outcomes[i].installed, expected[i]) << i;
    EXPECT_EQ(outcomes[4].name, "Big.dll");
    EXPECT_TRUE(outcomes[1].message.startsWith("Install error code:2\ngone.exe: "));
    EXPECT_FALSE(installer::allinstalled(outcomes));
    EXPECT_EQ(readFile(vek::generationname(dir.local() + "a.exe", 1)), "old a");
    EXPECT_FALSE(QFile::exists(vek::generationname(dir.local() + "a.exe", 2)));
    EXPECT_FALSE(QFile::exists(vek::generationname(dir.local() + "Big.dll", 1)));
    EXPECT_EQ(recorder.heard,
              (QStringList{
                  "start 0/5 a.exe",
                  "copied 0 5",
                  "done 0 a.exe ok",
                  "start 1/5 gone.exe",
                  "done 1 gone.exe failed",
                  "start 2/5 Big.dll",
                  "copied 2 9437184",
                  "done 2 Big.dll ok",
                  "start 3/5 a.exe",
                  "done 3 a.exe ok",
                  "start 4/5 BIG.DLL",
                  "done 4 Big.dll ok",
              }));
}

TEST(InstallRun, AllInstalledNeedsAtLeastOneProgram)
{
    EXPECT_FALSE(installer::allinstalled({}));
    InstallOutcome ok;
    ok.installed = true;
    EXPECT_TRUE(installer::allinstalled({ok, ok}));
    EXPECT_FALSE(installer::allinstalled({ok, InstallOutcome{}}));
}
