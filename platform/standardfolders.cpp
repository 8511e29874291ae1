#include "platform/standardfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {
namespace {

QString firstOfList(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    for (const QString& part : value.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(part))
            return QDir::cleanPath(part);
    }
    return fallback;
}

}  // namespace

QString documentsFolder()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString sharedDocumentsFolder()
{
    return firstOfList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share"));
}

QString allUsersProfileFolder()
{
    if (qEnvironmentVariableIsSet("ALLUSERSPROFILE"))
        return qEnvironmentVariable("ALLUSERSPROFILE");
    return firstOfList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QString systemTempFolder()
{
    // TMPDIR naming a folder that is not there gives no path at all; the
    // system's own temporary folder stands in, never the current folder.
    const QString temp = QDir::tempPath();
    return !temp.isEmpty() && QFileInfo(temp).isDir() ? temp : QStringLiteral("/tmp");
}

}  // namespace platform
