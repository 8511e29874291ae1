#include "lib/generations.h"

#include "lib/placementjournal.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <QFileInfo>
#include <QStringList>
#include <vector>

namespace vek {
namespace {

// The steps taken so far, undone in reverse order when a later one fails.
class UndoLog {
public:
    void renamed(const QString& from, const QString& to) { steps_.push_back({from, to, false}); }
    void created(const QString& path) { steps_.push_back({{}, path, true}); }
    // Takes every step back that can be; the ones that cannot are the leftovers.
    UndoLeftovers undo()
    {
        UndoLeftovers left;
        for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
            const int rc = it->createdOnly ? platform::deleteFile(it->to) : platform::moveFile(it->to, it->from);
            if (rc != 0)
                left.append({it->from, it->to});
        }
        steps_.clear();
        return left;
    }

private:
    struct Step {
        QString from;
        QString to;
        bool createdOnly;
    };
    std::vector<Step> steps_;
};

// A second name for the current file that shares its bytes; where the file
// system has no hard links, a copy.
int keepAsFirstGeneration(const QString& current, const QString& first)
{
    const int rc = platform::linkFile(current, first);
    if (rc != platform::winerr::NotSupported)
        return rc;
    return platform::copyFile(current, first, true);
}

}  // namespace

QString generationname(const QString& current, int n)
{
    return current + QStringLiteral(".X") + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString hiddenworkname(const QString& path, const QString& suffix)
{
    return platform::hiddenWorkName(path, suffix);
}

QString overflowname(const QString& current)
{
    return hiddenworkname(current, platform::kOverflowSuffix);
}

QString describeleftovers(const UndoLeftovers& leftovers)
{
    const auto nameOf = [](const QString& path) { return path.mid(path.lastIndexOf(platform::kPathSep) + 1); };
    QStringList parts;
    for (const UndoLeftover& left : leftovers) {
        parts.append(left.was.isEmpty() ? nameOf(left.standsAs) + QStringLiteral(" remains")
                                        : nameOf(left.was) + QStringLiteral(" stays as ") + nameOf(left.standsAs));
    }
    return parts.join(QStringLiteral(", "));
}

int placewithgenerations(const QString& newFile, const QString& current, QString* failedPath, UndoLeftovers* leftovers,
                         bool* keepingCurrent)
{
    if (leftovers)
        leftovers->clear();
    if (keepingCurrent)
        *keepingCurrent = false;
    UndoLog log;
    const QString journalName = placementjournalname(current);
    bool journalWritten = false;
    const auto fail = [&](int code, const QString& path) {
        const UndoLeftovers left = log.undo();
        if (leftovers)
            *leftovers = left;
        if (failedPath)
            *failedPath = path;
        // With every step taken back the record has done its work; with some
        // left, it stays, and the next run puts them back.
        if (journalWritten && left.isEmpty())
            (void)platform::deleteFile(journalName);  // one left is found and ended by the next run
        return code;
    };
    // A placement of this file that a crash cut short comes first.
    if (platform::pathExists(journalName)) {
        if (const int rc = recoverplacement(journalName))
            return fail(rc, journalName);
    }
    const QString overflow = overflowname(current);
    const QString oldest = generationname(current, kGenerationCount);
    // Left by a placement that was interrupted. While it stands, the oldest
    // generation cannot move aside; the cause to report is this delete's.
    if (platform::pathExists(overflow)) {
        if (const int rc = platform::deleteFile(overflow); rc != 0 && platform::pathExists(oldest))
            return fail(rc, overflow);
    }

    // What is about to move, recorded before anything does: a crash in the
    // middle leaves the next run enough to put every file back.
    PlacementJournal journal{current, newFile, platform::fileId(newFile), {}};
    bool shifting = false;
    for (int n = 0; n <= kGenerationCount; ++n) {
        journal.chain[size_t(n)] = platform::fileId(n == 0 ? current : generationname(current, n));
        shifting = shifting || journal.chain[size_t(n)].valid();
    }
    if (shifting) {
        if (const int rc = writeplacementjournal(journal))
            return fail(rc, journalName);
        journalWritten = true;
    }

    // Free the name of the oldest generation without losing it yet.
    if (platform::pathExists(oldest)) {
        if (const int rc = platform::moveFile(oldest, overflow))
            return fail(rc, oldest);
        log.renamed(oldest, overflow);
    }
    for (int n = kGenerationCount - 1; n >= 1; --n) {
        const QString from = generationname(current, n);
        if (!platform::pathExists(from))
            continue;
        const QString to = generationname(current, n + 1);
        if (const int rc = platform::moveFile(from, to))
            return fail(rc, from);
        log.renamed(from, to);
    }
    if (platform::pathExists(current)) {
        const QString first = generationname(current, 1);
        if (const int rc = keepAsFirstGeneration(current, first)) {
            if (keepingCurrent)
                *keepingCurrent = true;
            return fail(rc, first);
        }
        log.created(first);
    }
    if (const int rc = platform::replaceFile(newFile, current))
        return fail(rc, current);
    // The new file stands: the renames reach the disk before the oldest
    // generation and the record go.
    if (!journalWritten)
        return 0;
    if (platform::syncFolder(QFileInfo(current).path()) != 0)
        return 0;  // the record stays; the next run finishes from it
    if (platform::pathExists(overflow))
        (void)platform::deleteFile(overflow);  // one left behind is removed by the next placement
    (void)platform::deleteFile(journalName);  // as the overflow: the next run finishes it
    return 0;
}

}  // namespace vek
