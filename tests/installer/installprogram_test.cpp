#include "installer/installprogram.h"
#include "lib/generations.h"
#include "lib/placementjournal.h"
#include "platform/faultinjection.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::entries;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

class Install : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(server());
        QDir().mkpath(local());
    }

    QString server() const { return dir.path() + QStringLiteral("server/"); }
    QString local() const { return dir.path() + QStringLiteral("local/"); }
    QString gen(const QString& name, int n) const { return vek::generationname(local() + name, n); }
    QByteArray genContent(const QString& name, int n) const { return readFile(gen(name, n)); }

    void serve(const QString& name, const QByteArray& content) { writeFile(server() + name, content); }
    bool install(const QString& name, QString* message = nullptr)
    {
        const InstallOutcome outcome = installprogram(server(), local(), name);
        if (message)
            *message = outcome.message;
        EXPECT_EQ(outcome.installed, outcome.message.isEmpty()) << outcome.message.toStdString();
        return outcome.installed;
    }

    // Every file of the local folder and its content.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> out;
        for (const QString& name : entries(local()))
            out.insert(name, readFile(local() + name));
        return out;
    }

    ScratchDir dir;
    testsupport::FaultScope faults;
};

}  // namespace

TEST_F(Install, FirstInstallCreatesNoGeneration)
{
    serve("Stock.exe", "v1");
    EXPECT_TRUE(install("Stock.exe"));
    EXPECT_EQ(entries(local()), QStringList{"Stock.exe"});
    EXPECT_EQ(readFile(local() + "Stock.exe"), "v1");
}

TEST_F(Install, ElevenInstallsKeepExactlyTenGenerationsNewestFirst)
{
    for (int v = 1; v <= 12; ++v) {
        serve("Stock.exe", "v" + QByteArray::number(v));
        ASSERT_TRUE(install("Stock.exe"));
    }
    EXPECT_EQ(readFile(local() + "Stock.exe"), "v12");
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(genContent("Stock.exe", n), "v" + QByteArray::number(12 - n)) << n;
    EXPECT_EQ(entries(local()).size(), 11);  // the program and ten generations, nothing hidden left
}

TEST_F(Install, AGapInTheChainShiftsAsItStands)
{
    writeFile(local() + "a.dll", "cur");
    writeFile(gen("a.dll", 1), "g1");
    writeFile(gen("a.dll", 3), "g3");
    serve("a.dll", "new");
    EXPECT_TRUE(install("a.dll"));
    EXPECT_EQ(readFile(local() + "a.dll"), "new");
    EXPECT_EQ(genContent("a.dll", 1), "cur");
    EXPECT_EQ(genContent("a.dll", 2), "g1");
    EXPECT_FALSE(QFile::exists(gen("a.dll", 3)));
    EXPECT_EQ(genContent("a.dll", 4), "g3");
}

TEST_F(Install, ALocalFolderWithoutSeparatorInstallsIntoIt)
{
    serve("x.ocx", "x");
    QString localNoSep = local();
    localNoSep.chop(1);
    EXPECT_TRUE(installprogram(server(), localNoSep, "x.ocx").installed);
    EXPECT_EQ(readFile(local() + "x.ocx"), "x");
}

TEST_F(Install, AMissingServerFileChangesNothingAndReportsTwo)
{
    writeFile(local() + "Stock.exe", "cur");
    for (int n = 1; n <= 10; ++n)
        writeFile(gen("Stock.exe", n), "g" + QByteArray::number(n));
    const auto before = snapshot();
    QString message;
    EXPECT_FALSE(install("Stock.exe", &message));
    EXPECT_EQ(message,
              "Install error code:2\nStock.exe: could not read the server file " + server()
                  + "Stock.exe (the file does not exist)");
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Install, AMissingLocalFolderReportsThree)
{
    serve("a.exe", "a");
    const InstallOutcome outcome = installprogram(server(), dir.path() + "nowhere/", "a.exe");
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(outcome.message,
              "Install error code:3\na.exe: could not write into the local folder " + dir.path()
                  + "nowhere/ (the folder does not exist)");
}

TEST_F(Install, AFailureWhilePlacingUndoesTheShift)
{
    // A read-only folder refuses the renames; as root, the refusal is injected.
    writeFile(local() + "Stock.exe", "cur");
    writeFile(gen("Stock.exe", 1), "g1");
    writeFile(gen("Stock.exe", 10), "g10");
    serve("Stock.exe", "new");
    const auto before = snapshot();
    const struct {
        platform::FaultOp op;
        int nth;
    } points[] = {
        {platform::FaultOp::Rename, 1}, {platform::FaultOp::Rename, 2}, {platform::FaultOp::Rename, 3},
        {platform::FaultOp::Link, 1},   {platform::FaultOp::Copy, 1},   {platform::FaultOp::Write, 1},
    };
    for (const auto& p : points) {
        QString message;
        {
            const testsupport::FaultScope fault;
            platform::injectFault(p.op, p.nth, EACCES);
            EXPECT_FALSE(install("Stock.exe", &message));
            EXPECT_TRUE(platform::faultFired());
        }
        EXPECT_TRUE(message.startsWith("Install error code:5\nStock.exe: ")) << message.toStdString();
        EXPECT_TRUE(message.endsWith(" (access denied)")) << message.toStdString();
        EXPECT_EQ(snapshot(), before) << static_cast<int>(p.op) << ' ' << p.nth;
    }
    // A file system without hard links keeps the first generation as a copy.
    platform::injectFault(platform::FaultOp::Link, 1, EPERM);
    EXPECT_TRUE(install("Stock.exe"));
    EXPECT_EQ(genContent("Stock.exe", 1), "cur");
    EXPECT_EQ(genContent("Stock.exe", 2), "g1");
    EXPECT_EQ(genContent("Stock.exe", 10), "");
}

TEST_F(Install, NamesThatLeaveTheFolderAreRefused)
{
    writeFile(dir.path() + "outside.exe", "precious");
    serve("sub/x.exe", "x");
    for (const QString& name : {QStringLiteral("../outside.exe"), QStringLiteral("sub/x.exe"), QStringLiteral(".."),
                                QStringLiteral("."), QString()}) {
        QString message;
        EXPECT_FALSE(install(name, &message)) << name.toStdString();
        EXPECT_EQ(message, QStringLiteral("Could not install ") + name);
    }
    EXPECT_EQ(readFile(dir.path() + "outside.exe"), "precious");
    EXPECT_TRUE(entries(local()).isEmpty());
}

TEST_F(Install, AWorkFileLeftByAKilledRunIsRemoved)
{
    writeFile(installworkname(local(), "a.exe"), "half");
    writeFile(vek::overflowname(local() + "a.exe"), "stale oldest");
    serve("a.exe", "a");
    EXPECT_TRUE(install("a.exe"));
    EXPECT_EQ(entries(local()), QStringList{"a.exe"});
}

TEST_F(Install, TheCurrentFileIsNeverMissingAndKeepsItsMode)
{
    // The first generation shares the current file's bytes until the new one is renamed over it.
    writeFile(local() + "run.exe", "old");
    writeFile(server() + "run.exe", "new");
    QFile::setPermissions(server() + "run.exe", QFile::permissions(server() + "run.exe") | QFileDevice::ExeOwner);
    EXPECT_TRUE(install("run.exe"));
    EXPECT_TRUE(QFileInfo(local() + "run.exe").isExecutable());
    EXPECT_EQ(genContent("run.exe", 1), "old");
}

TEST_F(Install, ANameWithRoomForItsGenerationsInstallsEveryTimeAndALongerOneNever)
{
    // "\\" is an ordinary character here, and the work files do not lengthen
    // the name. A name with room for ".X10" keeps its generations; one longer
    // than that is refused at its first install already, not only at its second.
    const QString roomForGenerations = QString(247, u'g') + ".exe";
    for (const QString& name : {QStringLiteral("a\\b.exe"), roomForGenerations}) {
        serve(name, "v1");
        EXPECT_TRUE(install(name)) << name.size();
        serve(name, "v2");
        EXPECT_TRUE(install(name)) << name.size();
        EXPECT_EQ(readFile(local() + name), "v2");
        EXPECT_EQ(genContent(name, 1), "v1");
    }
    const QString tooLong = QString(248, u'n') + ".exe";
    serve(tooLong, "v1");
    const InstallOutcome outcome = installprogram(server(), local(), tooLong);
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(outcome.code, 206);
    EXPECT_TRUE(outcome.message.endsWith("(the name is 252 bytes long; with the endings of its backups (.X01 to .X10) "
                                         "the file system here takes program names of at most 251 bytes)"))
        << outcome.message.toStdString();
    EXPECT_EQ(entries(local()).size(), 4);
}

TEST_F(Install, ANameInOtherLetterCaseFindsTheOneServerFile)
{
    serve("Stock.exe", "stock");
    InstallOutcome outcome = installprogram(server(), local(), "stock.exe");
    EXPECT_TRUE(outcome.installed) << outcome.message.toStdString();
    EXPECT_EQ(outcome.name, "Stock.exe");
    EXPECT_EQ(entries(local()), QStringList{"Stock.exe"});

    // Two candidates: neither is guessed.
    serve("STOCK.EXE", "other");
    outcome = installprogram(server(), local(), "stock.exe");
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(entries(local()), QStringList{"Stock.exe"});
}

TEST_F(Install, AServerFileChangedDuringTheCopyIsNotInstalled)
{
    writeFile(local() + "grow.exe", "good");
    for (const QByteArray& change : {QByteArray("appended"), QByteArray()}) {
        serve("grow.exe", QByteArray(24 * 1024 * 1024, 'v'));
        const auto before = snapshot();
        bool changed = false;
        const InstallOutcome outcome = installprogram(server(), local(), "grow.exe", [&](qint64, qint64) {
            if (changed)
                return;
            changed = true;
            // Another program writes the server file while it is copied:
            // it grows, or it is cut short.
            QFile f(server() + "grow.exe");
            ASSERT_TRUE(f.open(change.isEmpty() ? QIODevice::WriteOnly : QIODevice::Append));
            f.write(change);
        });
        EXPECT_FALSE(outcome.installed);
        EXPECT_TRUE(outcome.message.startsWith("Install error code:1006\ngrow.exe: could not read the server file "))
            << outcome.message.toStdString();
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(Install, AnUndoThatCannotPutTheBackupsBackSaysWhereTheyStand)
{
    writeFile(local() + "Stock.exe", "cur");
    writeFile(gen("Stock.exe", 1), "g1");
    writeFile(gen("Stock.exe", 10), "g10");
    serve("Stock.exe", "new");
    // The new file cannot replace Stock.exe (the third rename), and the undo
    // cannot move the first generation back from X02 (the fourth).
    const InstallOutcome outcome = [&] {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Rename, 3, EACCES);
        platform::addFault(platform::FaultOp::Rename, 4, EIO);
        return installprogram(server(), local(), "Stock.exe");
    }();
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(outcome.code, 5);
    EXPECT_EQ(outcome.message,
              "Install error code:5\nStock.exe: could not replace " + local()
                  + "Stock.exe (access denied); the backups could not all be put back: Stock.exe.X01 stays as "
                    "Stock.exe.X02");
    // The placement's record stays beside them, and the next run that takes
    // the folder's lock puts them back from it.
    const QString journal = vek::placementjournalname(local() + "Stock.exe");
    auto now = snapshot();
    EXPECT_EQ(now.remove(journal.mid(local().size())), 1);
    EXPECT_EQ(now,
              (QMap<QString, QByteArray>{{"Stock.exe", "cur"}, {"Stock.exe.X02", "g1"}, {"Stock.exe.X10", "g10"}}));
    ASSERT_EQ(vek::recoverfolder(local()), 0);
    EXPECT_EQ(snapshot(),
              (QMap<QString, QByteArray>{{"Stock.exe", "cur"}, {"Stock.exe.X01", "g1"}, {"Stock.exe.X10", "g10"}}));

    // With one fault the undo is whole and the message says nothing more.
    platform::injectFault(platform::FaultOp::Rename, 3, EACCES);
    const InstallOutcome whole = installprogram(server(), local(), "Stock.exe");
    EXPECT_EQ(whole.message,
              "Install error code:5\nStock.exe: could not replace " + local() + "Stock.exe (access denied)");
}
