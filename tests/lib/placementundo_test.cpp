// A placement whose failing step is followed by a failing undo says what it
// could not put back, file by file, and the folder holds just that; the next
// run puts it back.
#include "lib/generations.h"
#include "lib/placementjournal.h"
#include "platform/faultinjection.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using testsupport::entries;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

struct Fault {
    platform::FaultOp op;
    int nth;
};

using Folder = QMap<QString, QByteArray>;

class PlacementUndo : public ::testing::Test {
protected:
    QString current() const { return dir.file("Stock.exe"); }
    QString gen(int n) const { return vek::generationname(current(), n); }

    // Stock.exe with its first and tenth generation, and the new version.
    void setUpFolder()
    {
        writeFile(current(), "cur");
        writeFile(gen(1), "g1");
        writeFile(gen(10), "g10");
        writeFile(dir.file("new.tmp"), "new");
    }
    Folder snapshot() const
    {
        Folder out;
        for (const QString& name : entries(dir.path()))
            out.insert(name, readFile(dir.file(name)));
        return out;
    }

    ScratchDir dir;
};

}  // namespace

TEST_F(PlacementUndo, EveryUndoStepThatFailsIsReportedAndTheFolderShowsIt)
{
    // The renames of a placement here: X10 aside (1), X01 to X02 (2), the new
    // file over Stock.exe (3); the undo then removes the new X01 (unlink 1),
    // moves X02 back (4) and the oldest back (5).
    const QString overflow = vek::overflowname(current());
    const QString hidden = overflow.mid(overflow.lastIndexOf(u'/') + 1);
    const struct {
        const char* what;
        QList<Fault> faults;
        QStringList leftovers;  // as describeleftovers words them
        Folder after;
    } cases[] = {
        {"undo complete",
         {{platform::FaultOp::Rename, 3}},
         {},
         {{"Stock.exe", "cur"}, {"Stock.exe.X01", "g1"}, {"Stock.exe.X10", "g10"}, {"new.tmp", "new"}}},
        {"X02 not moved back",
         {{platform::FaultOp::Rename, 3}, {platform::FaultOp::Rename, 4}},
         {"Stock.exe.X01 stays as Stock.exe.X02"},
         {{"Stock.exe", "cur"}, {"Stock.exe.X02", "g1"}, {"Stock.exe.X10", "g10"}, {"new.tmp", "new"}}},
        {"new X01 not removed",
         {{platform::FaultOp::Rename, 3}, {platform::FaultOp::Unlink, 1}},
         // X01 still stands, so X02 cannot take its name back either.
         {"Stock.exe.X01 remains", "Stock.exe.X01 stays as Stock.exe.X02"},
         {{"Stock.exe", "cur"},
          {"Stock.exe.X01", "cur"},
          {"Stock.exe.X02", "g1"},
          {"Stock.exe.X10", "g10"},
          {"new.tmp", "new"}}},
        {"oldest left hidden",
         {{platform::FaultOp::Rename, 3}, {platform::FaultOp::Rename, 5}},
         {"Stock.exe.X10 stays as " + hidden},
         {{"Stock.exe", "cur"}, {"Stock.exe.X01", "g1"}, {hidden, "g10"}, {"new.tmp", "new"}}},
    };
    for (const auto& c : cases) {
        for (const QString& name : entries(dir.path()))
            QFile::remove(dir.file(name));
        setUpFolder();
        QString failedPath;
        vek::UndoLeftovers leftovers{{"stale", "stale"}};
        {
            const testsupport::FaultScope fault;
            platform::injectFault(c.faults.front().op, c.faults.front().nth, EACCES);
            for (qsizetype i = 1; i < c.faults.size(); ++i)
                platform::addFault(c.faults[i].op, c.faults[i].nth, EIO);
            EXPECT_EQ(vek::placewithgenerations(dir.file("new.tmp"), current(), &failedPath, &leftovers), 5) << c.what;
        }
        EXPECT_EQ(failedPath, current()) << c.what;
        EXPECT_EQ(vek::describeleftovers(leftovers), c.leftovers.join(", ")) << c.what;
        EXPECT_EQ(leftovers.size(), c.leftovers.size()) << c.what;
        // With something not put back, the placement's record stays, and the
        // next run finishes the undo from it.
        const QString journal = vek::placementjournalname(current());
        Folder now = snapshot();
        EXPECT_EQ(now.remove(journal.mid(journal.lastIndexOf(u'/') + 1)), c.leftovers.isEmpty() ? 0 : 1) << c.what;
        EXPECT_EQ(now, c.after) << c.what;
        if (!c.leftovers.isEmpty()) {
            EXPECT_EQ(vek::recoverplacement(journal), 0) << c.what;
            Folder undone = cases[0].after;
            undone.remove("new.tmp");  // the work file of a placement undone goes too
            EXPECT_EQ(snapshot(), undone) << c.what;
        }
    }
}

TEST_F(PlacementUndo, AStaleOverflowThatCannotGoIsTheReportedCause)
{
    // A crashed placement left the oldest generation under its hidden name.
    // While that name is taken the oldest generation cannot move aside; the
    // failure to report is the delete's, not a clash on X10.
    setUpFolder();
    writeFile(vek::overflowname(current()), "stale");
    const Folder before = snapshot();
    QString failedPath;
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Unlink, 1, EACCES);
        EXPECT_EQ(vek::placewithgenerations(dir.file("new.tmp"), current(), &failedPath), 5);
    }
    EXPECT_EQ(failedPath, vek::overflowname(current()));
    EXPECT_EQ(snapshot(), before);

    // Without an oldest generation to move, the stale one is in nobody's way.
    QFile::remove(gen(10));
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Unlink, 1, EACCES);
        EXPECT_EQ(vek::placewithgenerations(dir.file("new.tmp"), current(), &failedPath), 0);
    }
    EXPECT_EQ(readFile(current()), "new");
    EXPECT_EQ(readFile(gen(2)), "g1");
}
