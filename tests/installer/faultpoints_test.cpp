// An install that fails at any step leaves the local folder as it was; one that
// succeeds leaves the new program with the chain shifted by one.
#include "faultpoints.h"
#include "installer/installprogram.h"
#include "lib/generations.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::FaultPoint;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

using Folder = QMap<QString, QByteArray>;

Folder snapshot(const QString& folder, bool withHidden = true)
{
    Folder out;
    for (const QString& name : testsupport::entries(folder)) {
        if (withHidden || !name.startsWith(u'.'))
            out.insert(name, readFile(folder + name));
    }
    return out;
}

QString gen(int n)
{
    return vek::generationname(QStringLiteral("Stock.exe"), n);
}

}  // namespace

struct Scenario {
    const char* what;
    Folder before;
    Folder after;
};

// The local folder before an install of Stock.exe, and what a complete install makes of it.
Scenario scenario(const char* what, const QByteArray& current, const QList<int>& generations)
{
    Scenario s{what, {}, {}};
    s.before.insert("Other.dll", "untouched");
    if (!current.isEmpty())
        s.before.insert("Stock.exe", current);
    for (const int n : generations)
        s.before.insert(gen(n), "generation " + QByteArray::number(n));
    s.after.insert("Other.dll", "untouched");
    s.after.insert("Stock.exe", QByteArray(200000, 'N'));
    if (!current.isEmpty())
        s.after.insert(gen(1), current);
    for (const int n : generations) {
        if (n < 10)
            s.after.insert(gen(n + 1), "generation " + QByteArray::number(n));
    }
    return s;
}

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
                QString message;
                const bool ok = installprogram(server, local, "Stock.exe", message);
                const bool fired = fault.disarm();
                const Folder now = snapshot(local);
                const std::string where = std::string(sc.what) + ": " + testsupport::faultOpName(point.op) + " #"
                    + std::to_string(point.nth) + " errno " + std::to_string(point.err);
                if (ok) {
                    // Only the oldest generation may linger, hidden, when deleting it
                    // failed after the new program stood; the next install removes it.
                    EXPECT_TRUE(message.isEmpty()) << where;
                    EXPECT_EQ(snapshot(local, false), after) << where;
                    for (const QString& name : now.keys()) {
                        if (name.startsWith(u'.')) {
                            EXPECT_EQ(local + name, vek::overflowname(local + "Stock.exe")) << where;
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
                    ASSERT_TRUE(installprogram(server, local, "Stock.exe", message)) << where << message.toStdString();
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
