#include "lib/placementjournal.h"

#include "lib/folders.h"
#include "platform/atomicwrite.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <QByteArrayList>
#include <QFileInfo>

namespace vek {
namespace {

const QByteArray kHeader = QByteArrayLiteral("Tessarine placement 1");
const QByteArray kEnd = QByteArrayLiteral("end");

// "." and the digest of the program's name that a work name begins with.
constexpr qsizetype kDigestPrefix = 17;

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(platform::kPathSep) + 1);
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(platform::kPathSep) + 1);
}

// A file name as the disk holds its bytes, in hex: any name survives the trip.
QByteArray nameField(const QString& path)
{
    return platform::encodePath(nameOf(path)).toHex();
}

QByteArray idLine(const QByteArray& key, const platform::FileId& id)
{
    return key + ' ' + QByteArray::number(id.device) + ' ' + QByteArray::number(id.inode) + '\n';
}

QByteArray journalText(const PlacementJournal& journal)
{
    QByteArray text = kHeader + '\n';
    text += "current " + nameField(journal.current) + '\n';
    text += "work " + nameField(journal.work) + '\n';
    text += idLine("id work", journal.workId);
    for (int n = 0; n <= kGenerationCount; ++n) {
        if (journal.chain[size_t(n)].valid())
            text += idLine("id " + QByteArray::number(n), journal.chain[size_t(n)]);
    }
    return text + kEnd + '\n';
}

// The journal read back; false for one that is not whole.
bool parseJournal(const QByteArray& text, const QString& folder, PlacementJournal* journal)
{
    const QByteArrayList lines = text.split('\n');
    if (lines.size() < 2 || lines.first() != kHeader || !lines.contains(kEnd))
        return false;
    for (const QByteArray& line : lines) {
        const QByteArrayList f = line.split(' ');
        if (f.size() == 2 && (f[0] == "current" || f[0] == "work")) {
            const QString path = folder + platform::decodePath(QByteArray::fromHex(f[1]));
            (f[0] == "current" ? journal->current : journal->work) = path;
        } else if (f.size() == 4 && f[0] == "id") {
            const platform::FileId id{f[2].toULongLong(), f[3].toULongLong()};
            bool number = false;
            const int n = f[1].toInt(&number);
            if (f[1] == "work")
                journal->workId = id;
            else if (number && n >= 0 && n <= kGenerationCount)
                journal->chain[size_t(n)] = id;
            else
                return false;
        }
    }
    return !nameOf(journal->current).isEmpty() && !nameOf(journal->work).isEmpty() && journal->workId.valid();
}

// The new file stands as the program: only the dropped generation is left to go.
int finishPlacement(const PlacementJournal& journal)
{
    const QString overflow = overflowname(journal.current);
    const platform::FileId oldest = journal.chain[kGenerationCount];
    if (oldest.valid() && platform::fileId(overflow) == oldest)
        return platform::deleteFile(overflow);
    return 0;
}

// The new file never took the program's name: every file of the chain goes
// back to the name it had, found by its identity one place further down.
int undoPlacement(const PlacementJournal& journal)
{
    const QString first = generationname(journal.current, 1);
    // The current file's second name (or its copy) made for the first generation.
    if (const platform::FileId at = platform::fileId(first); at.valid() && !(at == journal.chain[1])) {
        if (const int rc = platform::deleteFile(first))
            return rc;
    }
    for (int n = 1; n <= kGenerationCount; ++n) {
        const platform::FileId id = journal.chain[size_t(n)];
        const QString name = generationname(journal.current, n);
        if (!id.valid() || platform::fileId(name) == id)
            continue;
        const QString movedTo
            = n < kGenerationCount ? generationname(journal.current, n + 1) : overflowname(journal.current);
        if (platform::fileId(movedTo) == id) {
            if (const int rc = platform::moveFile(movedTo, name))
                return rc;
        }
    }
    if (platform::fileId(journal.work) == journal.workId)
        return platform::deleteFile(journal.work);
    return 0;
}

}  // namespace

QString placementjournalname(const QString& current)
{
    return platform::hiddenWorkName(current, platform::kPlacementJournalSuffix);
}

int writeplacementjournal(const PlacementJournal& journal)
{
    const QString path = placementjournalname(journal.current);
    int rc = platform::writeWorkFile(path, journalText(journal), 0600);
    if (rc == 0 && (rc = platform::syncFolder(folderOf(path))) != 0)
        (void)platform::deleteFile(path);  // nothing was renamed yet
    return rc;
}

int recoverplacement(const QString& journalPath)
{
    if (!platform::pathExists(journalPath))
        return 0;
    // Something of another user's under the record's name is neither read nor
    // removed; the placement it would belong to cannot go ahead.
    if (!platform::isOwnWorkFile(journalPath))
        return platform::winerr::AlreadyExists;
    QByteArray text;
    if (const int rc = platform::readWholeFile(journalPath, text))
        return rc == platform::winerr::FileNotFound ? 0 : rc;
    PlacementJournal journal;
    if (parseJournal(text, folderOf(journalPath), &journal)) {
        const bool placed = platform::fileId(journal.current) == journal.workId;
        if (const int rc = placed ? finishPlacement(journal) : undoPlacement(journal))
            return rc;
        if (const int rc = platform::syncFolder(folderOf(journalPath)))
            return rc;
    }
    return platform::deleteFile(journalPath);
}

int recoverfolder(const QString& folder)
{
    const QString dir = addslash(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList hidden = platform::hiddenNamesIn(dir);
    int first = 0;
    // The files of a placement that could not be dealt with wait for the next
    // run with their journal: the digest at the start of their names is its.
    QStringList waiting;
    for (const QString& name : hidden) {
        if (platform::isWorkName(name, platform::kPlacementJournalSuffix)) {
            if (const int rc = recoverplacement(dir + name); rc != 0) {
                waiting.append(name.left(kDigestPrefix));
                if (first == 0)
                    first = rc;
            }
        }
    }
    // What is left now belongs to no placement: work files of killed runs.
    for (const QString& name : hidden) {
        if (waiting.contains(name.left(kDigestPrefix)))
            continue;
        if (platform::isWorkName(name, platform::kPlacementWorkSuffix)
            || platform::isWorkName(name, platform::kOverflowSuffix)
            || platform::isWorkName(name, platform::kSaveWorkSuffix)
            || platform::isWorkName(name, platform::kDownloadWorkSuffix))
            (void)platform::removeLeftover(dir + name);  // one still held stays, as it should
    }
    return first;
}

}  // namespace vek
