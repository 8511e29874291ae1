// A run killed at any step of a placement (an install, a restore, the
// updater's placement of a download) leaves a folder that the next run puts
// right: the chain is then exactly the one before or exactly the one after,
// with nothing of the killed run left in the folder.
#include "generationscenarios.h"
#include "installer/installprogram.h"
#include "installer/restoregeneration.h"
#include "lib/copyplacement.h"
#include "platform/faultinjection.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::Folder;
using testsupport::Scenario;
using testsupport::snapshot;
using testsupport::writeFile;

namespace {

constexpr int kKilled = 77;
constexpr int kFinished = 0;

struct Road {
    const char* what;
    // The version the road puts in place of Stock.exe in `s.before`.
    std::function<QByteArray(const Scenario&)> newVersion;
    std::function<bool(const testsupport::InstallFolders&)> run;
};

// Runs `road` in a child process that ends itself at its `nth` file
// operation; the child's exit status (kKilled when it was stopped).
int runStoppedAt(int nth, const Road& road, const testsupport::InstallFolders& dir)
{
    const pid_t child = ::fork();
    if (child == 0) {
        platform::crashAtCall(nth, kKilled);
        ::_exit(road.run(dir) ? kFinished : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(CrashPoints, TheNextRunLeavesTheOldChainOrTheNewOneAfterAKillAtAnyStep)
{
    const QByteArray fresh(300000, 'N');
    const Road roads[] = {
        {"install", [&](const Scenario&) { return fresh; },
         [](const testsupport::InstallFolders& dir) {
             return installer::installprogram(dir.server(), dir.local(), "Stock.exe").installed;
         }},
        {"restore of generation 1", [](const Scenario& s) { return s.before[testsupport::stockgeneration(1)]; },
         [](const testsupport::InstallFolders& dir) {
             return installer::restoregeneration(dir.local(), "Stock.exe", 1).installed;
         }},
        {"placement of a download", [&](const Scenario&) { return fresh; },
         [](const testsupport::InstallFolders& dir) {
             return vek::copywithgenerations(dir.path() + "download.tmp", dir.local() + "Stock.exe") == 0;
         }},
    };
    const struct {
        const char* what;
        QByteArray current;
        QList<int> generations;
    } chains[] = {
        {"full chain", "current", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"chain with gaps", "current", {1, 3, 10}},
        {"current and one", "current", {1}},
    };
    for (const Road& road : roads) {
        int points = 0;
        for (const auto& c : chains) {
            const Scenario probe = testsupport::generationscenario(c.what, c.current, c.generations, {});
            const Scenario s
                = testsupport::generationscenario(c.what, c.current, c.generations, road.newVersion(probe));
            for (int nth = 1;; ++nth) {
                const testsupport::InstallFolders dir;
                writeFile(dir.server() + "Stock.exe", fresh);
                writeFile(dir.path() + "download.tmp", fresh);
                writeFile(dir.server() + "Probe.exe", "probe");
                for (auto it = s.before.begin(); it != s.before.end(); ++it)
                    writeFile(dir.local() + it.key(), it.value());
                const std::string where
                    = std::string(road.what) + ", " + c.what + ", killed at step " + std::to_string(nth);

                const int status = runStoppedAt(nth, road, dir);
                ASSERT_TRUE(status == kKilled || status == kFinished) << where << ": status " << status;
                // The next run into the folder, of another program, puts it right.
                ASSERT_TRUE(installer::installprogram(dir.server(), dir.local(), "Probe.exe").installed) << where;
                Folder now = snapshot(dir.local());
                now.remove("Probe.exe");
                if (status == kFinished) {
                    EXPECT_EQ(now, s.after) << where;
                    break;
                }
                ++points;
                EXPECT_TRUE(now == s.before || now == s.after) << where;
            }
        }
        std::printf("%s: killed at %d steps, every one put right by the next run\n", road.what, points);
        EXPECT_GT(points, 20) << road.what;
    }
}
