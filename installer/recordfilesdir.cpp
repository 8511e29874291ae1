#include "installer/recordfilesdir.h"

#include "lib/basictext.h"
#include "lib/params.h"
#include "lib/textlists.h"
#include "platform/fileapi.h"

bool recordfilesdir()
{
    QString folder;
    vek::getparam(QStringLiteral("FILESDIRCONTENTS"), folder);
    if (folder.isEmpty())
        return false;
    if (!platform::isFolder(folder))
        return true;
    QString fileName;
    vek::getparam(QStringLiteral("FILESDIRNAME"), fileName);
    if (fileName.isEmpty())
        return true;
    QStringList lines;
    vek::loadlist(lines, fileName);
    const QString first = lines.isEmpty() ? QString() : lines.front();
    if (!vek::sameasciinocase(first, folder)) {
        lines.prepend(folder);
        vek::savelist(lines, fileName);
    }
    return true;
}
