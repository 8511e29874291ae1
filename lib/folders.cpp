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
// (a folder named with letters the code page lacks). Empty unless None.
platform::ReadError readFirstLine(const QString& path, QString& line)
{
    line.clear();
    textfile f;
    if (!openread(f, path))
        return platform::readErrorFor(f.lasterror(), path);
    if (!f.readline(line) || f.lasterror() != 0)
        line.clear();
    const int rc = f.lasterror();
    (void)closetext(f);  // nothing was written through it
    return platform::readErrorFor(rc, path);
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

namespace {

struct DataFolderBase {
    bool settled = false;
    std::optional<QString> base;
};

DataFolderBase& settledBase()
{
    static DataFolderBase state;
    return state;
}

// LOCALFOLDER as the program settled it, else as the parameters give it.
std::optional<QString> givenbase()
{
    if (settledBase().settled)
        return settledBase().base;
    QString base;
    if (getparam(QStringLiteral("LOCALFOLDER"), base))
        return base;
    return std::nullopt;
}

}  // namespace

void setdatafolderbase(std::optional<QString> base)
{
    settledBase() = {true, std::move(base)};
}

void unsettledatafolderbase()
{
    settledBase() = {};
}

bool datafolderbasesettled()
{
    return settledBase().settled;
}

std::optional<QString> datafolderbase()
{
    return settledBase().base;
}

QString datafolder()
{
    QString base;
    if (const std::optional<QString> given = givenbase()) {
        base = *given;
    } else {
        const QString shared = addslash(specialfolder(CSIDL_COMMON_DOCUMENTS));
        const QString personal = addslash(specialfolder(CSIDL_PERSONAL));
        base = personal;
        if (platform::isFolder(shared + kCompanyFolder) && !platform::isFolder(personal + kCompanyFolder))
            base = shared;
    }
    const QString folder = base + kCompanyFolder;
    (void)platform::createFolders(folder);  // the path is the answer; a folder not made fails the writes into it
    return addslash(folder);
}

QString configfolder()
{
    const QString folder = addslash(datafolder()) + kConfigFolderName;
    (void)platform::createFolders(folder);  // as in datafolder: the writes into it report the failure
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
    (void)platform::createFolders(tempfolder());  // at start-up nobody to tell; the first file made there fails
}

QString filesfolder()
{
    auto& cache = filesFolderCache();
    if (cache)
        return *cache;
    const QString files = exefolder() + kFilesFolderName;
    QString result = addslash(files);
    if (platform::isFolder(files)) {
        QString line1;
        const platform::ReadError read = readFirstLine(addslash(files) + kRedirectionFileName, line1);
        if (read == platform::ReadError::Failed)
            return result;  // the default for now, not for good: the next call reads the file again
        line1 = trimtext(line1);
        if (!line1.isEmpty() && platform::isFolder(line1))
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
