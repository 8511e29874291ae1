// Putting a backup generation back: every position of a chain, chains with
// gaps, a generation that is not there, a failure at every step.
#include "faultpoints.h"
#include "installer/restoregeneration.h"
#include "lib/generations.h"
#include "lib/placementjournal.h"
#include "testsupport.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::readFile;
using testsupport::writeFile;

namespace {

using Folder = QMap<QString, QByteArray>;

QString gen(int n)
{
    return vek::generationname(QStringLiteral("Stock.exe"), n);
}

QByteArray version(int n)
{
    return "generation " + QByteArray::number(n);
}

Folder snapshot(const QString& folder)
{
    Folder out;
    for (const QString& name : testsupport::entries(folder))
        out.insert(name, readFile(folder + name));
    return out;
}

void lay(const QString& folder, const Folder& files)
{
    for (auto it = files.begin(); it != files.end(); ++it)
        writeFile(folder + it.key(), it.value());
}

// The folder with the current file (when given) and the generations named.
Folder chain(const QByteArray& current, const QList<int>& generations)
{
    Folder f;
    f.insert("Other.dll", "untouched");
    if (!current.isEmpty())
        f.insert("Stock.exe", current);
    for (const int n : generations)
        f.insert(gen(n), version(n));
    return f;
}

// What restoring generation `chosen` makes of `before`: a copy of it current,
// everything else one step down the chain, the tenth dropped.
Folder restored(const Folder& before, int chosen)
{
    Folder after;
    after.insert("Other.dll", "untouched");
    after.insert("Stock.exe", before[gen(chosen)]);
    if (before.contains("Stock.exe"))
        after.insert(gen(1), before["Stock.exe"]);
    for (int n = 1; n < 10; ++n) {
        if (before.contains(gen(n)))
            after.insert(gen(n + 1), before[gen(n)]);
    }
    return after;
}

}  // namespace

TEST(RestoreGeneration, EveryPositionOfFullAndGappedChainsBecomesCurrent)
{
    const struct {
        const char* what;
        Folder before;
    } chains[] = {
        {"full chain", chain("current", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})},
        {"chain with gaps", chain("current", {1, 3, 7, 10})},
        {"no current file", chain("", {2, 5})},
    };
    for (const auto& c : chains) {
        for (int n = 1; n <= 10; ++n) {
            if (!c.before.contains(gen(n)))
                continue;
            const testsupport::InstallFolders dir;
            lay(dir.local(), c.before);
            const InstallOutcome outcome = restoregeneration(dir.local(), "Stock.exe", n);
            EXPECT_TRUE(outcome.installed) << c.what << ' ' << n << ' ' << outcome.message.toStdString();
            EXPECT_EQ(snapshot(dir.local()), restored(c.before, n)) << c.what << ' ' << n;
        }
    }
}

TEST(RestoreGeneration, AGenerationThatIsNotThereChangesNothing)
{
    const testsupport::InstallFolders dir;
    const Folder before = chain("current", {1, 3});
    lay(dir.local(), before);
    const struct {
        QString name;
        int generation;
        int code;
    } cases[] = {
        {"Stock.exe", 2, 2}, {"Stock.exe", 0, 87}, {"Stock.exe", 11, 87}, {"Gone.exe", 1, 2}, {"../Stock.exe", 1, 87},
    };
    for (const auto& c : cases) {
        const InstallOutcome outcome = restoregeneration(dir.local(), c.name, c.generation);
        EXPECT_FALSE(outcome.installed);
        EXPECT_EQ(outcome.code, c.code) << c.name.toStdString() << ' ' << c.generation;
        EXPECT_TRUE(outcome.message.startsWith("Restore error code:" + QString::number(c.code) + "\n" + c.name + ": "))
            << outcome.message.toStdString();
        EXPECT_EQ(snapshot(dir.local()), before);
    }
}

TEST(RestoreFaultPoints, EveryFailurePointLeavesTheFolderWholeOrFullyRestored)
{
    const Folder before = chain("current", {1, 2, 4, 10});
    const Folder after = restored(before, 2);
    int failures = 0;
    const int points = testsupport::forEachFaultPoint(
        [&](const testsupport::FaultPoint& point, testsupport::FaultSwitch& fault) {
            const testsupport::InstallFolders dir;
            lay(dir.local(), before);
            fault.arm();
            const InstallOutcome outcome = restoregeneration(dir.local(), "Stock.exe", 2);
            const bool fired = fault.disarm();
            const std::string where = std::string(testsupport::faultOpName(point.op)) + " #" + std::to_string(point.nth)
                + " errno " + std::to_string(point.err);
            Folder now = snapshot(dir.local());
            if (outcome.installed) {
                // Only the oldest generation and the placement's record may
                // linger, hidden, when deleting them failed after the restored
                // file stood.
                now.remove(vek::overflowname(dir.local() + "Stock.exe").mid(dir.local().size()));
                now.remove(vek::placementjournalname(dir.local() + "Stock.exe").mid(dir.local().size()));
                EXPECT_EQ(now, after) << where;
            } else {
                ++failures;
                EXPECT_TRUE(fired) << where;
                EXPECT_TRUE(outcome.message.startsWith("Restore error code:")) << where;
                EXPECT_EQ(now, before) << where;
            }
        },
        {EIO, ENOSPC, EACCES});
    std::printf("restore: %d failure points tried, %d reported as failures\n", points, failures);
    EXPECT_GT(failures, 0);
    EXPECT_GT(points, 20);
}
