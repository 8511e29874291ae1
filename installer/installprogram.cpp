#include "installer/installprogram.h"

#include "installer/folderlock.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

namespace installer {

namespace {

// Joins the second line of a failed install's message when the undo of its
// placement could not put every backup back; where each file stands follows.
const QString kBackupsNotPutBack = QStringLiteral("; the backups could not all be put back: ");

// `leftovers`: what the undo of a failed placement could not put back, told
// after the cause so that the user knows which file stands under which name.
InstallOutcome failed(const QString& name, int code, const QString& what, const QString& path,
                      const vek::UndoLeftovers& leftovers = {})
{
    InstallOutcome outcome;
    outcome.name = name;
    outcome.code = code;
    outcome.message = kInstallErrorPrefix + QString::number(code) + u'\n' + name + QStringLiteral(": ") + what + u' '
        + path + QStringLiteral(" (") + platform::errorText(code) + u')';
    if (!leftovers.isEmpty())
        outcome.message += kBackupsNotPutBack + vek::describeleftovers(leftovers);
    return outcome;
}

// Which side a failed copy failed on: the server file when it cannot be read
// (or changed under the copy), else the local folder.
InstallOutcome copyfailed(const QString& name, int code, const QString& source, const QString& localFolder)
{
    platform::RawFile probe;
    if (code == platform::winerr::FileInvalid || probe.open(source, platform::OpenMode::Read) != 0)
        return failed(name, code, QStringLiteral("could not read the server file"), source);
    return failed(name, code, QStringLiteral("could not write into the local folder"), localFolder);
}

}  // namespace

QString serverprogramname(const QString& serverFolder, const QString& name)
{
    const QString server = vek::addslash(serverFolder);
    if (platform::pathExists(server + name))
        return name;
    QString found;
    int matches = 0;
    // Every plain file is looked at: the name may hold wildcard characters.
    const int rc = platform::listFiles(server, QStringLiteral("*"), [&](const platform::FileEntry& e) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            found = e.name;
            ++matches;
        }
    });
    return rc == 0 && matches == 1 ? found : name;
}

bool isplainprogramname(const QString& name)
{
    // Every other character, "\" among them, is allowed in a file name here.
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(u'/')
        && !name.contains(QChar(0));
}

QString installworkname(const QString& localFolder, const QString& name)
{
    return vek::hiddenworkname(vek::addslash(localFolder) + name, QStringLiteral(".installing"));
}

InstallOutcome installprogram(const QString& serverFolder, const QString& localFolder, const QString& asked,
                              const InstallProgress& progress)
{
    InstallOutcome outcome;
    outcome.name = asked;
    if (!isplainprogramname(asked)) {
        outcome.message = kCouldNotInstallPrefix + asked;
        return outcome;
    }
    const QString server = vek::addslash(serverFolder);
    const QString local = vek::addslash(localFolder);
    const QString name = serverprogramname(server, asked);
    outcome.name = name;
    const QString source = server + name;
    const QString current = local + name;
    const QString work = installworkname(local, name);

    const FolderLock lock(localFolder);
    if (platform::pathExists(work))
        (void)platform::deleteFile(work);  // left by a killed run; a failure shows in the copy below

    // The new version is complete on the local disk before anything is moved.
    if (const int code = platform::copyFile(source, work, false, progress)) {
        (void)platform::deleteFile(work);  // the copy removes what it made; this is for a crash between
        return copyfailed(name, code, source, local);
    }
    if (const int code = platform::syncFile(work)) {
        (void)platform::deleteFile(work);
        return failed(name, code, QStringLiteral("could not write into the local folder"), local);
    }
    QString failedPath;
    vek::UndoLeftovers leftovers;
    if (const int code = vek::placewithgenerations(work, current, &failedPath, &leftovers)) {
        (void)platform::deleteFile(work);
        const QString what = failedPath == current ? QStringLiteral("could not replace")
                                                   : QStringLiteral("could not move the backup");
        return failed(name, code, what, failedPath, leftovers);
    }
    if (!platform::isFile(current)) {
        outcome.message = kCouldNotInstallPrefix + name;
        return outcome;
    }
    outcome.installed = true;
    return outcome;
}

bool installprogram(const QString& serverFolder, const QString& localFolder, const QString& name, QString& message)
{
    const InstallOutcome outcome = installprogram(serverFolder, localFolder, name);
    message = outcome.message;
    return outcome.installed;
}

}  // namespace installer
