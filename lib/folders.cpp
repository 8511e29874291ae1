#include "lib/folders.h"

#include "lib/basictext.h"
#include "lib/params.h"
#include "platform/fileapi.h"
#include "platform/standardfolders.h"

#include <QFile>
#include <optional>

namespace vek {
namespace {

std::optional<QString>& filesFolderCache()
{
    static std::optional<QString> cache;
    return cache;
}

QString readFirstLine(const QString& path, bool* opened)
{
    QFile f(path);
    *opened = f.open(QIODevice::ReadOnly);
    if (!*opened)
        return {};
    QByteArray line = f.readLine(64 * 1024);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
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
