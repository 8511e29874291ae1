#include "installer/installprogram.h"

#include "installer/folderlock.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "platform/fileapi.h"

bool isplainprogramname(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0));
}

QString installworkname(const QString& localFolder, const QString& name)
{
    // Hidden, so that no listing shows it, and fixed, so that the next install
    // of the program removes one left by a run that was killed.
    return vek::addslash(localFolder) + u'.' + name + QStringLiteral(".installing");
}

bool installprogram(const QString& serverFolder, const QString& localFolder, const QString& name,
                    QString& message)
{
    message.clear();
    if (!isplainprogramname(name)) {
        message = kCouldNotInstallPrefix + name;
        return false;
    }
    const QString source = vek::addslash(serverFolder) + name;
    const QString current = vek::addslash(localFolder) + name;
    const QString work = installworkname(localFolder, name);

    const FolderLock lock(localFolder);
    if (platform::pathExists(work))
        platform::deleteFile(work);

    // The new version is complete on the local disk before anything is moved.
    int code = platform::copyFile(source, work);
    if (code == 0)
        code = platform::syncFile(work);
    if (code == 0)
        code = vek::placewithgenerations(work, current);
    if (code != 0) {
        platform::deleteFile(work);
        message = kInstallErrorPrefix + QString::number(code);
        return false;
    }
    if (!platform::isFile(current)) {
        message = kCouldNotInstallPrefix + name;
        return false;
    }
    return true;
}
