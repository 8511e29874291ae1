#include "lib/copyplacement.h"

#include "lib/folderlock.h"
#include "platform/winerror.h"

#include <QFileInfo>

namespace vek {

QString placementworkname(const QString& current)
{
    return hiddenworkname(current, QStringLiteral(".installing"));
}

int copywithgenerations(const QString& source, const QString& current, const platform::CopyProgress& progress,
                        PlacementFailure* failure)
{
    PlacementFailure unused;
    PlacementFailure& failed = failure ? *failure : unused;
    const QString folder = QFileInfo(current).path();
    const QString work = placementworkname(current);

    const FolderLock lock(folder);
    if (platform::pathExists(work))
        (void)platform::deleteFile(work);  // left by a killed run; a failure shows in the copy below

    // The new version is complete on the local disk before anything is moved.
    if (const int code = platform::copyFile(source, work, false, progress)) {
        (void)platform::deleteFile(work);  // the copy removes what it made; this is for a crash between
        // Which side the copy failed on: the source when it cannot be read
        // (or changed under the copy), else the program's folder.
        platform::RawFile probe;
        const bool sourceSide
            = code == platform::winerr::FileInvalid || probe.open(source, platform::OpenMode::Read) != 0;
        failed.step = sourceSide ? PlacementStep::ReadSource : PlacementStep::WriteFolder;
        failed.path = sourceSide ? source : folder;
        return code;
    }
    if (const int code = platform::syncFile(work)) {
        (void)platform::deleteFile(work);  // never placed; the folder is as it was either way
        failed.step = PlacementStep::WriteFolder;
        failed.path = folder;
        return code;
    }
    QString failedPath;
    if (const int code = placewithgenerations(work, current, &failedPath, &failed.leftovers)) {
        (void)platform::deleteFile(work);  // never placed; the folder is as it was either way
        failed.step = failedPath == current ? PlacementStep::Replace : PlacementStep::MoveBackup;
        failed.path = failedPath;
        return code;
    }
    return 0;
}

}  // namespace vek
