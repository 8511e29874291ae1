// platform::copyFile as installs meet it: progress in chunks, a server file
// that changes under the copy, another user's files, the umask, and every
// step failing in turn.
#include "faultpoints.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"
#include "testsupport.h"
#include "unprivileged.h"

#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace platform;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

// The permission bits in octal, as people read them.
QString modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(encodePath(path).constData(), &st) == 0 ? QString::number(st.st_mode & 07777, 8) : QString();
}

void setMode(const QString& path, mode_t mode)
{
    ::chmod(encodePath(path).constData(), mode);
}

constexpr qint64 kMiB = 1024 * 1024;

// A file's modification time put well in the past, so that any write during
// a copy moves it, however coarse the file system's clock.
void ageFile(const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 6)), QFileDevice::FileModificationTime);
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

TEST(CopyFile, ReportsProgressOnTheCallersThreadAfterEachChunkOfEightMebibytes)
{
    const qint64 size = 2 * 8 * kMiB + 5;
    const QByteArray content(size, 'c');
    ScratchDir dir;
    writeFile(dir.file("server.exe"), content);
    // /dev/shm is another file system, where the kernel copy gives way to reads and writes.
    QStringList destinations{dir.file("local.exe")};
    if (isFolder(QStringLiteral("/dev/shm/")))
        destinations.append(QStringLiteral("/dev/shm/") + dir.path().section(u'/', -2, -2) + QStringLiteral(".exe"));
    for (const QString& destination : destinations) {
        std::vector<std::pair<qint64, qint64>> calls;
        const auto caller = std::this_thread::get_id();
        bool onCallersThread = true;
        EXPECT_EQ(copyFile(dir.file("server.exe"), destination, false,
                           [&](qint64 copied, qint64 total) {
                               calls.emplace_back(copied, total);
                               onCallersThread = onCallersThread && std::this_thread::get_id() == caller;
                           }),
                  0);
        const std::vector<std::pair<qint64, qint64>> expected{{8 * kMiB, size}, {16 * kMiB, size}, {size, size}};
        EXPECT_EQ(calls, expected) << destination.toStdString();
        EXPECT_TRUE(onCallersThread);
        EXPECT_TRUE(readFile(destination) == content) << destination.toStdString();
        EXPECT_EQ(deleteFile(destination), 0);
    }
}

TEST(CopyFile, ASourceThatChangesDuringTheCopyFailsWithNoDestinationLeft)
{
    const qint64 size = 2 * 8 * kMiB + 100;
    const struct {
        const char* change;
        std::function<void(int fd)> apply;
    } cases[] = {
        {"shrinks", [](int fd) { EXPECT_EQ(::ftruncate(fd, kMiB), 0); }},
        {"grows", [](int fd) { EXPECT_EQ(::pwrite(fd, "more", 4, size), 4); }},
        {"is rewritten at its size", [](int fd) { EXPECT_EQ(::pwrite(fd, "new!", 4, size - 4), 4); }},
    };
    for (const auto& c : cases) {
        for (const bool existing : {false, true}) {
            ScratchDir dir;
            writeFile(dir.file("server.exe"), QByteArray(size, 's'));
            ageFile(dir.file("server.exe"));
            if (existing)
                writeFile(dir.file("local.exe"), "old");
            const int writer = ::open(encodePath(dir.file("server.exe")).constData(), O_WRONLY);
            ASSERT_GE(writer, 0);
            bool changed = false;
            const int rc = copyFile(dir.file("server.exe"), dir.file("local.exe"), false, [&](qint64, qint64) {
                if (!std::exchange(changed, true))
                    c.apply(writer);
            });
            ::close(writer);
            EXPECT_TRUE(changed) << c.change;
            EXPECT_EQ(rc, winerr::FileInvalid) << c.change;
            EXPECT_FALSE(QFile::exists(dir.file("local.exe"))) << c.change;
        }
    }
}

TEST(CopyFile, TakesThePermissionBitsWithoutSetIdOrStickyBitsAndUnderTheUmask)
{
    const struct {
        mode_t source;
        mode_t beforeUmask;
    } cases[] = {
        {04777, 0777}, {02755, 0755}, {06755, 0755}, {01777, 0777}, {0755, 0755}, {0640, 0640},
    };
    const mode_t umaskBefore = currentUmask();
    for (const auto& c : cases) {
        for (const bool existing : {false, true}) {
            ScratchDir dir;
            writeFile(dir.file("server.exe"), "new");
            setMode(dir.file("server.exe"), c.source);
            if (existing) {
                writeFile(dir.file("local.exe"), "old");
                setMode(dir.file("local.exe"), 04700);
            }
            EXPECT_EQ(copyFile(dir.file("server.exe"), dir.file("local.exe")), 0);
            EXPECT_EQ(modeOf(dir.file("local.exe")), QString::number(c.beforeUmask & ~umaskBefore, 8))
                << QString::number(c.source, 8).toStdString() << (existing ? " over an existing file" : "");
        }
    }
    EXPECT_EQ(currentUmask(), umaskBefore);
}

TEST(CopyFile, OverwritesAnotherUsersWritableFileThoughItsModeAndTimeStayHis)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to own a file the copying user does not";
    ScratchDir dir;
    testsupport::openFolderToEveryone(dir.path());
    const QByteArray fresh(70000, 'n');
    writeFile(dir.file("server.exe"), fresh);
    setMode(dir.file("server.exe"), 0644);
    writeFile(dir.file("shared.exe"), "old");
    setMode(dir.file("shared.exe"), 0666);
    const int child = testsupport::runAsUnprivilegedUser(
        [&] { return copyFile(dir.file("server.exe"), dir.file("shared.exe")) == 0; });
    EXPECT_EQ(child, 0);
    EXPECT_TRUE(readFile(dir.file("shared.exe")) == fresh);
    EXPECT_EQ(modeOf(dir.file("shared.exe")), QStringLiteral("666"));  // the system refused the change
}

TEST(CopyFile, EveryFailingStepLeavesTheOldDestinationNoneOrACompleteCopy)
{
    const QByteArray fresh(3 * 1024 * 1024 + 5, 'f');
    const int points = testsupport::forEachFaultPoint(
        [&](const testsupport::FaultPoint& p, testsupport::FaultSwitch& fault) {
            ScratchDir dir;
            writeFile(dir.file("server.exe"), fresh);
            writeFile(dir.file("local.exe"), "old");
            fault.arm();
            const int rc = copyFile(dir.file("server.exe"), dir.file("local.exe"));
            fault.disarm();
            const std::string where = std::string(testsupport::faultOpName(p.op)) + " #" + std::to_string(p.nth);
            EXPECT_TRUE(readFile(dir.file("server.exe")) == fresh) << where;
            // The bytes are all there when only the mode or time could not be set.
            if (p.op == FaultOp::Attributes) {
                EXPECT_EQ(rc, 0) << where;
            }
            if (rc == 0) {
                EXPECT_TRUE(readFile(dir.file("local.exe")) == fresh) << where;
            } else {
                // Untouched when the copy failed before opening it, else removed.
                EXPECT_TRUE(!QFile::exists(dir.file("local.exe")) || readFile(dir.file("local.exe")) == "old") << where;
            }
        },
        {EIO, EPERM});
    EXPECT_GT(points, 4);
}
