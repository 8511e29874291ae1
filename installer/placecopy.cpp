#include "installer/placecopy.h"

#include "installer/folderlock.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

namespace installer {

namespace {

// Joins the second line of a failure's message when the undo of its placement
// could not put every backup back; where each file stands follows.
const QString kBackupsNotPutBack = QStringLiteral("; the backups could not all be put back: ");

class FailureText {
public:
    FailureText(const QString& errorPrefix, const QString& name) : prefix_(errorPrefix), name_(name) {}

    // `leftovers`: what the undo of a failed placement could not put back,
    // told after the cause so that the user knows which file stands where.
    InstallOutcome operator()(int code, const QString& what, const QString& path,
                              const vek::UndoLeftovers& leftovers = {}) const
    {
        InstallOutcome outcome;
        outcome.name = name_;
        outcome.code = code;
        outcome.message = prefix_ + QString::number(code) + u'\n' + name_ + QStringLiteral(": ") + what + u' ' + path
            + QStringLiteral(" (") + platform::errorText(code) + u')';
        if (!leftovers.isEmpty())
            outcome.message += kBackupsNotPutBack + vek::describeleftovers(leftovers);
        return outcome;
    }

private:
    QString prefix_;
    QString name_;
};

}  // namespace

InstallOutcome placecopy(const CopySource& source, const QString& localFolder, const QString& name,
                         const QString& errorPrefix, const InstallProgress& progress)
{
    const FailureText failed(errorPrefix, name);
    const QString local = vek::addslash(localFolder);
    const QString current = local + name;
    const QString work = installworkname(local, name);
    const QString cannotWrite = QStringLiteral("could not write into the local folder");

    const FolderLock lock(localFolder);
    if (platform::pathExists(work))
        (void)platform::deleteFile(work);  // left by a killed run; a failure shows in the copy below

    // The new version is complete on the local disk before anything is moved.
    if (const int code = platform::copyFile(source.path, work, false, progress)) {
        (void)platform::deleteFile(work);  // the copy removes what it made; this is for a crash between
        // Which side the copy failed on: the source when it cannot be read
        // (or changed under the copy), else the local folder.
        platform::RawFile probe;
        if (code == platform::winerr::FileInvalid || probe.open(source.path, platform::OpenMode::Read) != 0)
            return failed(code, QStringLiteral("could not read ") + source.what, source.path);
        return failed(code, cannotWrite, local);
    }
    if (const int code = platform::syncFile(work)) {
        (void)platform::deleteFile(work);  // never placed; the folder is as it was either way
        return failed(code, cannotWrite, local);
    }
    QString failedPath;
    vek::UndoLeftovers leftovers;
    if (const int code = vek::placewithgenerations(work, current, &failedPath, &leftovers)) {
        (void)platform::deleteFile(work);  // never placed; the folder is as it was either way
        const QString what
            = failedPath == current ? QStringLiteral("could not replace") : QStringLiteral("could not move the backup");
        return failed(code, what, failedPath, leftovers);
    }
    InstallOutcome outcome;
    outcome.name = name;
    outcome.installed = platform::isFile(current);
    if (!outcome.installed)
        outcome.message = kCouldNotInstallPrefix + name;
    return outcome;
}

}  // namespace installer
