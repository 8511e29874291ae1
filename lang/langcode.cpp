#include "lang/langcode.h"

#include "lib/basictext.h"
#include "lib/folders.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

namespace vek {

platform::Result<void> checklangcode(const QString& code)
{
    for (const QChar c : code) {
        if (!isasciialnum(c) && c != u'-' && c != u'_')
            return platform::fail(platform::winerr::InvalidName, kBadLangCode + code);
    }
    if (code.size() > kMaxLangCodeLength)
        return platform::fail(platform::winerr::InvalidName, kLongLangCode + code);
    return {};
}

QString langfilecode(const QString& code)
{
    return code.isEmpty() ? kDefaultLanguage : code;
}

QString langfolderof(const QString& basefolder)
{
    return addslash(basefolder) + kLangFolderName;
}

QString langfilepath(const QString& langfolder, const QString& screenname, const QString& code)
{
    const QString folder = addslash(langfolder);
    const QString filecode = langfilecode(code);
    const QString rest = u'_' + screenname + kLangFileExtension;
    QString written = folder + filecode + rest;
    if (platform::pathExists(written) || !platform::isFolder(folder))
        return written;
    // A code is a language, whatever its letter case: the file keeps the
    // spelling it was made with.
    QString found;
    (void)platform::listFiles(folder, QStringLiteral("*") + kLangFileExtension, [&](const platform::FileEntry& entry) {
        if (found.isEmpty() && entry.name.size() == filecode.size() + rest.size() && entry.name.endsWith(rest)
            && entry.name.left(filecode.size()).compare(filecode, Qt::CaseInsensitive) == 0)
            found = entry.name;
    });  // a folder that cannot be listed names the file as written
    return found.isEmpty() ? written : folder + found;
}

}  // namespace vek
