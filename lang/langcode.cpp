#include "lang/langcode.h"

#include "lib/basictext.h"
#include "lib/folders.h"

namespace vek {

QString langcodeproblem(const QString& code)
{
    for (const QChar c : code) {
        if (!isasciialnum(c) && c != u'-' && c != u'_')
            return kBadLangCode + code;
    }
    if (code.size() > kMaxLangCodeLength)
        return kLongLangCode + code;
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
    return addslash(langfolder) + langfilecode(code) + u'_' + screenname + kLangFileExtension;
}

}  // namespace vek
