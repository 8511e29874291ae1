// Installs into folders that other users may write, and from server folders
// holding what is not a program file: nothing written through a planted link,
// nothing placed without the folder's lock, no wait without end.
#include "installer/installprogram.h"
#include "lib/folderlock.h"
#include "lib/generations.h"
#include "lib/placementjournal.h"
#include "libguards.h"
#include "platform/workfile.h"
#include "testsupport.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace installer;

using testsupport::entries;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

QByteArray bytesOf(const QString& path)
{
    return QFile::encodeName(path);
}

class HostileFolder : public ::testing::Test {
protected:
    QString server() const { return dir.server(); }
    QString local() const { return dir.local(); }
    // A file of "nobody" outside the local folder that a planted link aims at.
    QString victim() const { return dir.path() + "victim"; }

    testsupport::InstallFolders dir;
};

}  // namespace

TEST_F(HostileFolder, ANamePlantedWhereTheInstallWritesIsNeverWrittenThrough)
{
    const QString current = local() + "Stock.exe";
    const struct {
        const char* what;
        QString name;
        bool link;  // else a regular file of another user
    } cases[] = {
        {"link as the work file", installworkname(local(), "Stock.exe"), true},
        {"other user's work file", installworkname(local(), "Stock.exe"), false},
        {"link as the placement record", vek::placementjournalname(current), true},
        {"link as the lock file", local() + vek::kFolderLockName, true},
    };
    writeFile(server() + "Stock.exe", "server program");
    for (const auto& c : cases) {
        writeFile(current, "old");
        writeFile(vek::generationname(current, 1), "g1");
        writeFile(victim(), "victim");
        if (c.link) {
            ASSERT_EQ(::symlink(bytesOf(victim()).constData(), bytesOf(c.name).constData()), 0) << c.what;
        } else {
            writeFile(c.name, "theirs");
            ASSERT_EQ(::chown(bytesOf(c.name).constData(), testsupport::kNobody, testsupport::kNobody), 0);
        }

        const InstallOutcome outcome = installprogram(server(), local(), "Stock.exe");
        EXPECT_FALSE(outcome.installed) << c.what;
        EXPECT_EQ(outcome.code, 183) << c.what;
        EXPECT_TRUE(outcome.message.contains(QFileInfo(c.name).fileName()) || outcome.message.contains(local()))
            << c.what << ": " << outcome.message.toStdString();
        EXPECT_EQ(readFile(victim()), "victim") << c.what;
        EXPECT_EQ(readFile(current), "old") << c.what;
        EXPECT_EQ(readFile(vek::generationname(current, 1)), "g1") << c.what;
        ASSERT_TRUE(QFile::remove(c.name));
    }
}

TEST_F(HostileFolder, OnlyRegularServerFilesAreCopiedAndTheOthersAreRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(bytesOf(server() + "Pipe.exe").constData(), 0644), 0);
    ASSERT_EQ(::symlink(bytesOf(server() + "Pipe.exe").constData(), bytesOf(server() + "ToPipe.exe").constData()), 0);
    ASSERT_EQ(::symlink("/dev/zero", bytesOf(server() + "Zero.exe").constData()), 0);
    const struct {
        const char* name;
        const char* kind;
    } cases[] = {
        {"Pipe.exe", "a named pipe"},
        {"ToPipe.exe", "a named pipe"},
        {"Zero.exe", "a device"},
    };
    for (const auto& c : cases) {
        const InstallOutcome outcome = installprogram(server(), local(), c.name);
        EXPECT_FALSE(outcome.installed) << c.name;
        EXPECT_EQ(outcome.code, 222) << c.name;
        EXPECT_EQ(outcome.message,
                  "Install error code:222\n" + QString::fromLatin1(c.name) + ": refused the server file " + server()
                      + c.name + " (it is " + QString::fromLatin1(c.kind) + ", not a regular file)");
    }
    EXPECT_TRUE(entries(local()).isEmpty());

    // Nor is a folder under the program's name a program to keep a backup of.
    writeFile(server() + "Stock.exe", "new");
    ASSERT_TRUE(QDir().mkpath(local() + "Stock.exe"));
    const InstallOutcome outcome = installprogram(server(), local(), "Stock.exe");
    EXPECT_EQ(outcome.message,
              "Install error code:222\nStock.exe: could not replace " + local()
                  + "Stock.exe (it is a folder, not a program file)");
}

TEST_F(HostileFolder, AFolderThatCanBeWrittenButNotReadIsLockedAsAnyOther)
{
    const testsupport::LockWaitScope wait;
    testsupport::openFolderToEveryone(dir.path());
    ASSERT_EQ(::chown(bytesOf(local()).constData(), testsupport::kNobody, testsupport::kNobody), 0);
    ASSERT_EQ(::chmod(bytesOf(local()).constData(), 0300), 0);
    const QString folder = local();
    // Free, the folder is locked by its user; held by another run, the
    // user's run waits and gives up when its wait is over.
    EXPECT_EQ(testsupport::runAsUnprivilegedUser([&] { return vek::FolderLock(folder).locked(); }), 0);
    const vek::FolderLock held(folder);
    ASSERT_TRUE(held.locked());
    const testsupport::LockWaitScope shortWait(std::chrono::milliseconds(200));
    EXPECT_EQ(testsupport::runAsUnprivilegedUser([&] {
                  const vek::FolderLock lock(folder);
                  return !lock.locked() && lock.code() == 258;
              }),
              0);
}

TEST_F(HostileFolder, AnInstallWaitsForAnotherRunsLockAndSaysSoThenGivesUpWithACode)
{
    const testsupport::LockWaitScope wait(std::chrono::milliseconds(300));
    writeFile(server() + "Stock.exe", "new");
    writeFile(local() + "Stock.exe", "old");
    QStringList told;
    vek::folderlockwaitnotice().install([&](const QString& folder, bool first) {
        if (first)
            told.append(folder);
    });
    const vek::FolderLock held(local());
    const InstallOutcome outcome = installprogram(server(), local(), "Stock.exe");
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(outcome.code, 258);
    EXPECT_EQ(outcome.message,
              "Install error code:258\nStock.exe: could not lock the local folder " + local()
                  + " (another install into it did not finish within 0 seconds)");
    EXPECT_EQ(told, QStringList{local()});
    EXPECT_EQ(readFile(local() + "Stock.exe"), "old");
}

TEST_F(HostileFolder, ARunHoldingTheLockRemovesWhatKilledRunsLeftAndNothingElse)
{
    const QString other = local() + "Other.dll";
    const QString killedInstall = installworkname(local(), "Other.dll");
    const QString killedDownload = platform::uniqueWorkName(other, platform::kDownloadWorkSuffix);
    const QString killedSave = platform::uniqueWorkName(local() + "list.txt", platform::kSaveWorkSuffix);
    const QString liveSave = platform::uniqueWorkName(local() + "list.txt", platform::kSaveWorkSuffix);
    const QString theirs = platform::uniqueWorkName(other, platform::kDownloadWorkSuffix);
    const QString lookalike = local() + ".notours.installing";
    for (const QString& name : {killedInstall, killedDownload, killedSave, theirs, lookalike})
        writeFile(name, QByteArray(4096, 'x'));
    ASSERT_EQ(::chown(bytesOf(theirs).constData(), testsupport::kNobody, testsupport::kNobody), 0);
    int liveFd = -1;
    ASSERT_EQ(platform::createWorkFile(liveSave, 0644, &liveFd), 0);  // a save still being written

    writeFile(server() + "Stock.exe", "new");
    ASSERT_TRUE(installprogram(server(), local(), "Stock.exe").installed);
    const auto nameOf = [](const QString& path) { return QFileInfo(path).fileName(); };
    QStringList expected{"Stock.exe", nameOf(liveSave), nameOf(theirs), nameOf(lookalike)};
    expected.sort();
    EXPECT_EQ(entries(local()), expected);
    ::close(liveFd);
}
