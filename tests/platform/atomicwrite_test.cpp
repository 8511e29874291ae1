// The atomic whole-file writer step by step: where the bytes are after each
// call, what every call returns when one step fails through the fault seam,
// and what is left on the disk once the writer is gone. The ini and list-file
// sweeps fail the same steps from above; these pin the writer's own contract.
#include "platform/atomicwrite.h"
#include "platform/faultinjection.h"
#include "platform/workfile.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

using platform::AtomicFileWriter;
using platform::FaultOp;
using testsupport::entries;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

constexpr char kPrevious[] = "previous\r\n";
// What every write() of the tables below writes.
constexpr char kChunk[] = "ab";

// The content of a file, or nothing when it is not there.
std::optional<QByteArray> contentOf(const QString& path)
{
    if (!QFile::exists(path))
        return std::nullopt;
    return readFile(path);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

class AtomicWrite : public ::testing::Test {
protected:
    ScratchDir dir;
};

}  // namespace

// The target keeps its previous version until commit(); until then the new
// bytes gather in the work file beside it, which commit() renames over it.
TEST_F(AtomicWrite, TheTargetChangesOnlyAtCommit)
{
    const QString target = dir.file(QStringLiteral("t.ini"));
    writeFile(target, kPrevious);
    {
        AtomicFileWriter writer(target);
        const QString work = writer.workPath();
        EXPECT_EQ(QFileInfo(work).absolutePath(), QFileInfo(target).absolutePath());
        const struct {
            const char* step;
            std::function<int()> call;
            std::optional<QByteArray> target;
            std::optional<QByteArray> work;
        } steps[] = {
            {"begin", [&] { return writer.begin(); }, kPrevious, QByteArray()},
            {"write", [&] { return writer.write(QByteArray("new ")); }, kPrevious, QByteArray("new ")},
            {"write", [&] { return writer.write("content", 7); }, kPrevious, QByteArray("new content")},
            {"commit", [&] { return writer.commit(); }, QByteArray("new content"), std::nullopt},
        };
        for (const auto& s : steps) {
            EXPECT_EQ(s.call(), 0) << s.step;
            EXPECT_EQ(contentOf(target), s.target) << "target after " << s.step;
            EXPECT_EQ(contentOf(work), s.work) << "work file after " << s.step;
        }
    }
    // A committed writer leaves its target alone when it goes.
    EXPECT_EQ(readFile(target), "new content");
    EXPECT_EQ(entries(dir.path()), QStringList{"t.ini"});
}

namespace {

enum class Call { Begin, Write, Commit };

struct Expect {
    Call call;
    int rc;
};

// One writer's calls in order, each with the code it must return, with at
// most one fault armed before the first; `written` is the content the target
// has afterwards, or nullptr for "the target as it was before".
struct Sequence {
    const char* what;
    std::optional<FaultOp> op;
    int nth;
    int err;
    std::vector<Expect> calls;
    const char* written;
};

const Sequence kSequences[] = {
    {"written whole", {}, 0, 0, {{Call::Begin, 0}, {Call::Write, 0}, {Call::Write, 0}, {Call::Commit, 0}}, "abab"},
    {"nothing written", {}, 0, 0, {{Call::Begin, 0}, {Call::Commit, 0}}, ""},
    // A failed step is the writer's state from then on: every later call
    // returns its code, and the target is never touched.
    {"work file refused", FaultOp::Open, 1, EACCES, {{Call::Begin, 5}, {Call::Write, 5}, {Call::Commit, 5}}, nullptr},
    {"first write fails",
     FaultOp::Write,
     1,
     ENOSPC,
     {{Call::Begin, 0}, {Call::Write, 112}, {Call::Write, 112}, {Call::Commit, 112}},
     nullptr},
    {"a later write fails",
     FaultOp::Write,
     2,
     EIO,
     {{Call::Begin, 0}, {Call::Write, 0}, {Call::Write, 1117}, {Call::Commit, 1117}},
     nullptr},
    // The close comes after the flush to the disk and before the rename.
    {"close fails",
     FaultOp::Close,
     1,
     EIO,
     {{Call::Begin, 0}, {Call::Write, 0}, {Call::Commit, 1117}, {Call::Commit, 1117}},
     nullptr},
    {"rename fails", FaultOp::Rename, 1, EXDEV, {{Call::Begin, 0}, {Call::Write, 0}, {Call::Commit, 17}}, nullptr},
    // Callers retry the open: a failed begin may be followed by another.
    {"begin again after a failed begin",
     FaultOp::Open,
     1,
     EACCES,
     {{Call::Begin, 5}, {Call::Begin, 0}, {Call::Write, 0}, {Call::Commit, 0}},
     "ab"},
    {"write before begin", {}, 0, 0, {{Call::Write, 6}, {Call::Commit, 6}}, nullptr},
    {"begin twice", {}, 0, 0, {{Call::Begin, 0}, {Call::Begin, 6}, {Call::Write, 0}, {Call::Commit, 0}}, "ab"},
    {"commit twice", {}, 0, 0, {{Call::Begin, 0}, {Call::Write, 0}, {Call::Commit, 0}, {Call::Commit, 6}}, "ab"},
};

int run(AtomicFileWriter& writer, Call call)
{
    switch (call) {
    case Call::Begin:
        return writer.begin();
    case Call::Write:
        return writer.write(QByteArray(kChunk));
    case Call::Commit:
        return writer.commit();
    }
    return -1;
}

}  // namespace

// Every row with a previous version of the target and without one: a writer
// that did not commit leaves the disk as it found it, work file gone.
TEST_F(AtomicWrite, EachStepFailsWithItsCodeAndLeavesThePreviousVersion)
{
    for (const bool previous : {true, false}) {
        for (const Sequence& s : kSequences) {
            const ScratchDir here;
            const QString target = here.file(QStringLiteral("t.ini"));
            if (previous)
                writeFile(target, kPrevious);
            const std::string row = std::string(s.what) + (previous ? " (replacing)" : " (new file)");
            {
                AtomicFileWriter writer(target);
                // After the writer, so that the seam is disarmed before the writer cleans up.
                const testsupport::FaultScope fault;
                if (s.op)
                    platform::injectFault(*s.op, s.nth, s.err);
                for (size_t i = 0; i < s.calls.size(); ++i)
                    EXPECT_EQ(run(writer, s.calls[i].call), s.calls[i].rc) << row << ", call " << i + 1;
                if (s.op) {
                    EXPECT_TRUE(platform::faultFired()) << row;
                }
            }
            const std::optional<QByteArray> before = previous ? std::optional<QByteArray>(kPrevious) : std::nullopt;
            EXPECT_EQ(contentOf(target), s.written ? std::optional<QByteArray>(s.written) : before) << row;
            EXPECT_EQ(entries(here.path()), QFile::exists(target) ? QStringList{"t.ini"} : QStringList{}) << row;
        }
    }
}

// The new version keeps the permission bits of the one it replaces; a new
// file gets the usual bits under the umask.
TEST_F(AtomicWrite, TheNewVersionKeepsThePermissionBitsOfThePrevious)
{
    for (const mode_t mode : {0600, 0640, 0755, 0444}) {
        const QString target = dir.file(QStringLiteral("kept.ini"));
        writeFile(target, kPrevious);
        ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), mode), 0);
        EXPECT_EQ(platform::writeFileAtomically(target, "new"), 0) << std::oct << mode;
        EXPECT_EQ(readFile(target), "new");
        EXPECT_EQ(modeOf(target), mode) << std::oct << mode;
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(target);
    }
    const mode_t umask = ::umask(022);
    ::umask(umask);
    const QString fresh = dir.file(QStringLiteral("fresh.ini"));
    EXPECT_EQ(platform::writeFileAtomically(fresh, "new"), 0);
    EXPECT_EQ(modeOf(fresh), 0666 & ~umask);
}

// A work file left by a writer that died is removed by the next save of the
// same file; one that a live writer holds stays.
TEST_F(AtomicWrite, ALeftoverWorkFileIsRemovedByTheNextSave)
{
    const QString target = dir.file(QStringLiteral("t.ini"));
    writeFile(target, kPrevious);
    writeFile(platform::uniqueWorkName(target, platform::kSaveWorkSuffix), QByteArray(4096, 'x'));
    AtomicFileWriter live(target);
    ASSERT_EQ(live.begin(), 0);
    EXPECT_EQ(platform::writeFileAtomically(target, "new"), 0);
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(entries(dir.path()), (QStringList{QFileInfo(live.workPath()).fileName(), "t.ini"}));
}
