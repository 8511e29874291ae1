#include "installer/installprogram.h"

#include "installer/placecopy.h"
#include "installer/webroad.h"
#include "lib/copyplacement.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/serverindex.h"
#include "platform/fileapi.h"

namespace installer {

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
    return vek::placementworkname(vek::addslash(localFolder) + name);
}

InstallOutcome installprogram(const QString& serverFolder, const QString& localFolder, const QString& asked,
                              const InstallProgress& progress, const vek::SignaturePolicy& signatures)
{
    if (!isplainprogramname(asked)) {
        InstallOutcome refused;
        refused.name = asked;
        refused.message = kCouldNotInstallPrefix + asked;
        return refused;
    }
    if (vek::iswebfolder(serverFolder)) {
        vek::WebIndex index;
        if (const vek::IndexFetch fetch = webroad().fetchindex(serverFolder, index, signatures.keys); fetch.code != 0)
            return indexfailure(asked, fetch);
        return webroad().install(serverFolder, index, localFolder, asked, progress, signatures);
    }
    const QString server = vek::addslash(serverFolder);
    const QString name = serverprogramname(server, asked);
    const QString serverFile = server + name;
    return placecopy({serverFile, QStringLiteral("the server file")}, localFolder, name, kInstallErrorPrefix, progress,
                     vek::hashingsignaturecheck(signatures, trust::signaturefor(serverFile), name,
                                                vek::addslash(localFolder) + name));
}

}  // namespace installer
