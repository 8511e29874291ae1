#include "lib/folders.h"

#include "lib/basictext.h"
#include "lib/params.h"
#include "lib/textlists.h"
#include "platform/fileapi.h"
#include "platform/standardfolders.h"

#include <optional>

namespace vek {
namespace {

std::optional<QString>& filesFolderCache()
{
    static std::optional<QString> cache;
    return cache;
}

// Line 1 of the redirection file, read as every list file is read: in the
// code page the recording run writes, unless a byte-order mark says UTF-8
// (a folder named with letters the code page lacks).
QString readFirstLine(const QString& path, bool* opened)
{
    textfile f;
    *opened = openread(f, path);
    QString line;
    if (*opened)
        f.readline(line);
    return line;
}

}  // namespace

QString addslash(const QString& path, QChar separator)
{
    if (path.isEmpty())
        return path;
    const QChar last = lastchar(path);
    if (last == u'/' || last == u'\\')
        return path;
    if (path.contains(u'/'))
        return path + u'/';
    return path + separator;
}

QString specialfolder(int csidl)
{
    switch (csidl) {
    case CSIDL_PERSONAL:
        return platform::documentsFolder();
    case CSIDL_COMMON_DOCUMENTS:
        return platform::sharedDocumentsFolder();
    default:
        return {};
    }
}

QString exefolder()
{
    const QString exe = exename();
    const qsizetype cut = std::max(exe.lastIndexOf(u'/'), exe.lastIndexOf(u'\\'));
    return addslash(exe.left(cut + 1));
}

QString allusersfolder()
{
    return addslash(platform::allUsersProfileFolder());
}

QString datafolder()
{
    QString base;
    if (!getparam(QStringLiteral("LOCALFOLDER"), base)) {
        const QString shared = addslash(specialfolder(CSIDL_COMMON_DOCUMENTS));
        const QString personal = addslash(specialfolder(CSIDL_PERSONAL));
        base = personal;
        if (platform::isFolder(shared + kCompanyFolder) && !platform::isFolder(personal + kCompanyFolder))
            base = shared;
    }
    const QString folder = base + kCompanyFolder;
    platform::createFolders(folder);
    return addslash(folder);
}

QString configfolder()
{
    const QString folder = addslash(datafolder()) + kConfigFolderName;
    platform::createFolders(folder);
    return addslash(folder);
}

QString systemtempfolder()
{
    return addslash(platform::systemTempFolder());
}

QString tempfolder()
{
    return addslash(systemtempfolder()) + kCompanyFolder + pathsep;
}

void maketempfolder()
{
    platform::createFolders(tempfolder());
}

QString filesfolder()
{
    auto& cache = filesFolderCache();
    if (cache)
        return *cache;
    const QString files = exefolder() + kFilesFolderName;
    QString result = addslash(files);
    if (platform::isFolder(files)) {
        bool opened = false;
        const QString line1 = trimtext(readFirstLine(addslash(files) + kRedirectionFileName, &opened));
        if (opened && !line1.isEmpty() && platform::isFolder(line1))
            result = addslash(line1);
    }
    cache = result;
    return result;
}

void resetfilesfoldercache()
{
    filesFolderCache().reset();
}

}  // namespace vek
