#include "installer/recordfilesdir.h"

#include "lib/basictext.h"
#include "lib/serverindex.h"
#include "lib/textlists.h"
#include "platform/fileapi.h"

namespace installer {

bool recordfilesdir(const QString& folder, const QString& fileName)
{
    if (folder.isEmpty())
        return false;
    // A web server folder is recorded as its address: nothing on the disk
    // stands for it.
    if (!vek::iswebfolder(folder) && !platform::isFolder(folder))
        return true;
    if (fileName.isEmpty())
        return true;
    QStringList lines;
    // A file that is there but cannot be read keeps the folders it records:
    // saving the one new line would put it in place of all of them.
    if (vek::readlist(lines, fileName) == platform::ReadError::Failed)
        return true;
    const QString first = lines.isEmpty() ? QString() : lines.front();
    if (!vek::sameasciinocase(first, folder)) {
        lines.prepend(folder);
        // The recording run ends without a message either way; a file that
        // cannot be written keeps what it held.
        (void)vek::savelist(lines, fileName);
    }
    return true;
}

}  // namespace installer
