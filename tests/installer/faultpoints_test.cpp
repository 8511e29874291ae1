// An install that fails at any step leaves the local folder as it was; one that
// succeeds leaves the new program with the chain shifted by one.
#include "faultpoints.h"
#include "generationscenarios.h"
#include "installer/installprogram.h"
#include "lib/generations.h"
#include "lib/placementjournal.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::FaultPoint;
using testsupport::readFile;
using testsupport::Scenario;
using testsupport::writeFile;

using testsupport::Folder;
using testsupport::snapshot;

namespace {

Scenario scenario(const char* what, const QByteArray& current, const QList<int>& generations)
{
    return testsupport::generationscenario(what, current, generations, QByteArray(200000, 'N'));
}

}  // namespace

TEST(InstallFaultPoints, EveryFailurePointLeavesTheFolderWholeOrFullyInstalled)
{
    const Scenario scenarios[] = {
        scenario("full chain", "current", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
        scenario("chain with gaps", "current", {1, 3, 10}),
        scenario("current only", "current", {}),
        scenario("first install", "", {}),
    };
    int total = 0;
    for (const Scenario& sc : scenarios) {
        const Folder& before = sc.before;
        const Folder& after = sc.after;
        int failures = 0;
        const int points = testsupport::forEachFaultPoint(
            [&](const FaultPoint& point, testsupport::FaultSwitch& fault) {
                const testsupport::InstallFolders dir;
                const QString server = dir.server(), local = dir.local();
                writeFile(server + "Stock.exe", after["Stock.exe"]);
                for (auto it = before.begin(); it != before.end(); ++it)
                    writeFile(local + it.key(), it.value());

                fault.arm();
                const InstallOutcome outcome = installprogram(server, local, "Stock.exe");
                const bool ok = outcome.installed;
                const QString& message = outcome.message;
                const bool fired = fault.disarm();
                const Folder now = snapshot(local);
                const std::string where = std::string(sc.what) + ": " + testsupport::faultOpName(point.op) + " #"
                    + std::to_string(point.nth) + " errno " + std::to_string(point.err);
                if (ok) {
                    // Only the oldest generation and the placement's record may
                    // linger, hidden, when deleting them failed after the new
                    // program stood; the next install removes them.
                    EXPECT_TRUE(message.isEmpty()) << where;
                    EXPECT_EQ(snapshot(local, false), after) << where;
                    const QStringList lingering{vek::overflowname(local + "Stock.exe"),
                                                vek::placementjournalname(local + "Stock.exe")};
                    for (const QString& name : now.keys()) {
                        if (name.startsWith(u'.')) {
                            EXPECT_TRUE(lingering.contains(local + name)) << where << " " << name.toStdString();
                        }
                    }
                } else {
                    ++failures;
                    EXPECT_TRUE(fired) << where;
                    EXPECT_TRUE(message.startsWith(QStringLiteral("Install error code:"))) << where;
                    EXPECT_NE(message, QStringLiteral("Install error code:0")) << where;
                    EXPECT_EQ(now, before) << where;
                }
                // A second install after the fault always completes the job.
                if (fired) {
                    const InstallOutcome again = installprogram(server, local, "Stock.exe");
                    ASSERT_TRUE(again.installed) << where << again.message.toStdString();
                    if (!ok) {
                        EXPECT_EQ(snapshot(local), after) << where;
                    }
                }
            },
            {EIO, ENOSPC, EACCES, EXDEV});
        std::printf("install, %s: %d failure points tried, %d reported as failures\n", sc.what, points, failures);
        EXPECT_GT(failures, 0) << sc.what;
        total += points;
    }
    std::printf("install: %d failure points tried in all\n", total);
    EXPECT_GT(total, 150);
}
