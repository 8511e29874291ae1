#include "lib/copyplacement.h"

#include "lib/folderlock.h"
#include "lib/placementjournal.h"
#include "platform/faultinjection.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <QFileInfo>

namespace vek {

QString placementworkname(const QString& current)
{
    return hiddenworkname(current, platform::kPlacementWorkSuffix);
}

int checkworkfile(const QString& work, const WorkFileCheck& check, QString& reason)
{
    // A test's stand-in for another process that writes into the work file
    // after the copy: the check must see what is placed, not what was copied.
    if (const int code = platform::swapWorkFile(work))
        return code;
    return check ? check(work, reason) : 0;
}

qint64 longestprogramname(const QString& folder)
{
    return platform::longestName(folder) - generationname(QString(), kGenerationCount).size();
}

int fillwithgenerations(const QString& current, const QString& work, const WorkFill& fill, PlacementFailure* failure,
                        const WorkFileCheck& check)
{
    PlacementFailure unused;
    PlacementFailure& failed = failure ? *failure : unused;
    const QString folder = QFileInfo(current).path();

    if (platform::encodePath(QFileInfo(current).fileName()).size() > longestprogramname(folder)) {
        failed.step = PlacementStep::NameTooLong;
        failed.path = current;
        return platform::winerr::FilenameTooLong;
    }
    const FolderLock lock(folder);
    if (lock.code() != 0) {
        // A folder that is missing or may not be written says so as the copy would.
        const bool held
            = lock.code() == platform::winerr::WaitTimeout || lock.code() == platform::winerr::AlreadyExists;
        failed.step = held ? PlacementStep::LockFolder : PlacementStep::WriteFolder;
        failed.path = folder;
        return lock.code();
    }
    // Whatever killed runs left in the folder is put right first: a placement
    // cut short is finished or undone, their work files go.
    if (const int code = recoverfolder(folder); code != 0 && platform::pathExists(placementjournalname(current))) {
        failed.step = PlacementStep::MoveBackup;
        failed.path = placementjournalname(current);
        return code;
    }

    // The new version is complete on the local disk before anything is moved.
    if (const int code = fill(work, failed))
        return code;
    if (const int code = checkworkfile(work, check, failed.reason)) {
        (void)platform::deleteFile(work);  // refused, never placed; the folder is as it was either way
        failed.step = PlacementStep::Check;
        failed.path = work;
        return code;
    }
    QString failedPath;
    bool keepingCurrent = false;
    if (const int code = placewithgenerations(work, current, &failedPath, &failed.leftovers, &keepingCurrent)) {
        (void)platform::deleteFile(work);  // never placed; the folder is as it was either way
        failed.step = keepingCurrent                                 ? PlacementStep::KeepCurrent
            : failedPath == current                                  ? PlacementStep::Replace
            : failedPath.endsWith(platform::kPlacementJournalSuffix) ? PlacementStep::WriteFolder
                                                                     : PlacementStep::MoveBackup;
        failed.path = failedPath;
        return code;
    }
    return 0;
}

int copywithgenerations(const QString& source, const QString& current, const platform::CopyProgress& progress,
                        PlacementFailure* failure, const StreamedCheck& check)
{
    const QString folder = QFileInfo(current).path();
    const auto copy = [&](const QString& work, PlacementFailure& failed) {
        // The copy is checked (when there is a check) as it stands on the
        // local disk, while it is being flushed.
        int refused = 0;
        const platform::WhileFlushing checking = check.check
            ? platform::WhileFlushing([&] { return refused = checkworkfile(work, check.check, failed.reason); })
            : platform::WhileFlushing();
        const int code = platform::copyToWorkFile(source, work, progress, checking, check.sink);
        if (code == 0)
            return 0;
        if (refused != 0 && code == refused) {
            // Refused, never placed; the failed copy took its work file with it.
            failed.step = PlacementStep::Check;
            return code;
        }
        // Which side the copy failed on: the source when it cannot be read, is
        // no regular file or changed under the copy, else the program's folder.
        platform::RawFile probe;
        const bool sourceSide = code == platform::winerr::FileInvalid || code == platform::winerr::BadFileType
            || probe.open(source, platform::OpenMode::Read) != 0;
        failed.step = sourceSide ? PlacementStep::ReadSource : PlacementStep::WriteFolder;
        failed.path = sourceSide ? source : (code == platform::winerr::AlreadyExists ? work : folder);
        return code;
    };
    PlacementFailure unused;
    PlacementFailure& failed = failure ? *failure : unused;
    const int code = fillwithgenerations(current, placementworkname(current), copy, &failed);
    // A refusal names what was copied, not the work file that was refused.
    if (code != 0 && failed.step == PlacementStep::Check)
        failed.path = source;
    return code;
}

}  // namespace vek
