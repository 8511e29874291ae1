#include "lang/langcode.h"

#include "lib/folders.h"

namespace vek {

QString langcodeproblem(const QString& code)
{
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')
            || u == u'-' || u == u'_';
        if (!allowed)
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
