// A copy that hands its chunks on as it writes them (the digest of a signed
// install is made so): every byte once and in order, on a thread beside the
// copy, and the stamp the copy left; a failed copy tells no stamp.
#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/filestamp.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

using namespace platform;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// Bytes that differ from chunk to chunk, so that a chunk handed twice, out
// of order or from the wrong buffer shows.
QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / kMiB) % 251);
    return bytes;
}

// What a sink was given.
struct Taken {
    QByteArray bytes;
    bool beside = true;  // every chunk on a thread other than the copy's
    std::optional<FileStamp> stamp;
    QStringList order;
};

ChunkSink recording(Taken& taken)
{
    const std::thread::id caller = std::this_thread::get_id();
    ChunkSink sink;
    sink.take = [&taken, caller](const char* bytes, qint64 size) {
        taken.bytes.append(bytes, size);
        taken.beside = taken.beside && std::this_thread::get_id() != caller;
    };
    sink.finished = [&taken](const FileStamp& written) {
        taken.stamp = written;
        taken.order.append(QStringLiteral("finished"));
    };
    return sink;
}

// A file's modification time put well in the past, so that a later write
// moves it however coarse the file system's clock.
void ageFile(const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 6)), QFileDevice::FileModificationTime);
}

}  // namespace

TEST(ChunkSink, TakesEveryByteInOrderBesideTheCopyThenTheStampTheCopyLeft)
{
    ScratchDir dir;
    // More than the copy's ring of buffers holds, and a last chunk that is
    // not a whole number of disk blocks.
    const QByteArray source = pattern(21 * kMiB + 3);
    writeFile(dir.file("Big.exe"), source);
    Taken taken;
    qint64 lastProgress = 0;
    const int code = copyToWorkFile(
        dir.file("Big.exe"), dir.file(".work"), [&](qint64 copied, qint64) { lastProgress = copied; },
        [&] {
            taken.order.append(QStringLiteral("whileFlushing"));
            return 0;
        },
        recording(taken));
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(taken.bytes == source);
    EXPECT_TRUE(taken.beside);
    EXPECT_EQ(readFile(dir.file(".work")), source);
    EXPECT_EQ(lastProgress, source.size());
    // The check that runs while the copy is flushed has the stamp already.
    EXPECT_EQ(taken.order, QStringList({QStringLiteral("finished"), QStringLiteral("whileFlushing")}));
    const Result<FileStamp> now = fileStamp(dir.file(".work"));
    ASSERT_TRUE(now.ok()) << now.message().toStdString();
    ASSERT_TRUE(taken.stamp);
    EXPECT_EQ(*taken.stamp, now.value());
    EXPECT_EQ(taken.stamp->size, source.size());
}

TEST(ChunkSink, AnEmptySourceHandsNothingAndStillTellsItsStamp)
{
    ScratchDir dir;
    writeFile(dir.file("Empty.exe"), QByteArray());
    Taken taken;
    ASSERT_EQ(copyToWorkFile(dir.file("Empty.exe"), dir.file(".work"), {}, {}, recording(taken)), 0);
    EXPECT_TRUE(taken.bytes.isEmpty());
    ASSERT_TRUE(taken.stamp);
    EXPECT_EQ(*taken.stamp, fileStamp(dir.file(".work")).value());
}

// A copy that fails leaves no work file and tells no stamp: nothing may be
// vouched for by a digest of part of it.
TEST(ChunkSink, AFailedCopyTellsNoStampAndLeavesNoWorkFile)
{
    const struct {
        const char* what;
        FaultOp op;
        int nth;
    } cases[] = {
        {"the third write", FaultOp::Write, 3},
        {"the second read", FaultOp::Read, 2},
        {"the flush", FaultOp::Sync, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::FaultScope faults;
        ScratchDir dir;
        const QByteArray source = pattern(11 * kMiB);
        writeFile(dir.file("Big.exe"), source);
        Taken taken;
        injectFault(c.op, c.nth, EIO);
        EXPECT_NE(copyToWorkFile(dir.file("Big.exe"), dir.file(".work"), {}, {}, recording(taken)), 0);
        EXPECT_TRUE(faultFired());
        EXPECT_FALSE(taken.stamp);
        EXPECT_FALSE(QFile::exists(dir.file(".work")));
        // What was taken is what was written before the failure, in order.
        EXPECT_TRUE(source.startsWith(taken.bytes));
    }
}

// Every change to a file that a placement must notice between its copy and
// its check moves the stamp.
TEST(FileStamp, MovesWithEveryChangeToTheFileAndOnlyThen)
{
    const struct {
        const char* what;
        void (*change)(const ScratchDir& dir);
        bool moved;
    } cases[] = {
        {"untouched, read", [](const ScratchDir& dir) { (void)readFile(dir.file("Stock.exe")); }, false},
        {"rewritten in place, same length", [](const ScratchDir& dir) { writeFile(dir.file("Stock.exe"), "v2"); },
         true},
        {"cut short", [](const ScratchDir& dir) { QFile(dir.file("Stock.exe")).resize(1); }, true},
        {"another file renamed over it",
         [](const ScratchDir& dir) {
             writeFile(dir.file("other"), "v1");
             ageFile(dir.file("other"));
             QFile::remove(dir.file("Stock.exe"));
             QFile::rename(dir.file("other"), dir.file("Stock.exe"));
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        writeFile(dir.file("Stock.exe"), "v1");
        ageFile(dir.file("Stock.exe"));
        const Result<FileStamp> before = fileStamp(dir.file("Stock.exe"));
        ASSERT_TRUE(before.ok());
        c.change(dir);
        const Result<FileStamp> after = fileStamp(dir.file("Stock.exe"));
        ASSERT_TRUE(after.ok());
        EXPECT_EQ(after.value() != before.value(), c.moved);
    }
}

TEST(FileStamp, AMissingFileSaysSo)
{
    ScratchDir dir;
    const Result<FileStamp> missing = fileStamp(dir.file("missing"));
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.code(), winerr::FileNotFound);
    EXPECT_TRUE(missing.message().contains(dir.file("missing")));
}
