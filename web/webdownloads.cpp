#include "web/webdownloads.h"

#include "lib/downloadhook.h"
#include "lib/folders.h"
#include "lib/stamps.h"
#include "lib/textlists.h"
#include "platform/fileapi.h"
#include "web/vekpost.h"

#include <QTemporaryFile>

namespace vek {

bool downloadweblist(QStringList& list, const QString& address)
{
    list.clear();
    const QString folder = datafolder() + kDownloadsFolder;
    (void)platform::createFolders(folder);  // a folder not made fails the reservation below
    // The name is reserved by creating the file, so two downloads never share
    // it, not even within one second or from two programs.
    QTemporaryFile reserved(folder + pathsep + QStringLiteral("__TMP") + datestamp() + timestamp(false)
                            + QStringLiteral("_XXXXXX.txt"));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        return false;
    const QString file = reserved.fileName();
    reserved.close();
    bool placed = false;
    {
        TVekPost post;
        placed = post.GetFile(address, file);
    }
    const platform::ReadError read = placed ? readlist(list, file) : platform::ReadError::Failed;
    (void)platform::deleteFile(file);  // a file left in the downloads folder harms no later download
    if (read != platform::ReadError::None)
        list.clear();
    return read == platform::ReadError::None;
}

void installdownloadcall()
{
    setdownloadlistcall(&downloadweblist);
}

}  // namespace vek
