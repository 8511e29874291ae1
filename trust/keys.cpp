#include "trust/keys.h"

#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "platform/winerror.h"

#include <map>

namespace trust {

TrustedKeys readKeys(const QString& iniFile)
{
    TrustedKeys trusted;
    if (!platform::pathExists(iniFile))
        return trusted;
    // An ini file that cannot be read reads as empty: here that would be "no
    // keys named", and every unsigned program would go through.
    if (QByteArray bytes; platform::readWholeFile(iniFile, bytes) != 0) {
        trusted.unreadable.append(iniFile + QStringLiteral(" cannot be read"));
        return trusted;
    }
    const platform::IniFile ini(iniFile);
    std::map<qint64, QString> named;  // by number, so that PublicKey10 comes after PublicKey9
    for (const QString& key : ini.keys(kSignaturesSection)) {
        if (!key.startsWith(kPublicKeyPrefix, Qt::CaseInsensitive))
            continue;
        bool number = false;
        const qint64 n = key.mid(kPublicKeyPrefix.size()).toLongLong(&number);
        if (number && !ini.readString(kSignaturesSection, key).isEmpty())
            named.emplace(n, key);
    }
    for (const auto& [n, key] : named) {
        if (const std::optional<PublicKey> parsed = parsePublicKey(ini.readString(kSignaturesSection, key)))
            trusted.keys.append(*parsed);
        else
            trusted.unreadable.append(key + QStringLiteral(" in ") + iniFile
                                      + QStringLiteral(" is no minisign public key"));
    }
    return trusted;
}

}  // namespace trust
