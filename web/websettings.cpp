#include "web/websettings.h"

#include "lib/folders.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "platform/readerror.h"
#include "web/protectstrings.h"

namespace vek {

QString proxysettingsfile()
{
    return datafolder() + kProxySettingsName;
}

ProxySettings readproxysettings(const QString& file)
{
    if (!platform::pathExists(file))
        return {};
    const QString unreadable = kUnreadableProxySettings + file + QStringLiteral(" (");
    if (!platform::isFile(file))
        return {std::nullopt, unreadable + QStringLiteral("it is no file)")};
    // The ini reader takes a file it cannot read for an empty one: whether it
    // can be read is found out first.
    platform::RawFile probe;
    if (const int rc = probe.open(file, platform::OpenMode::Read)) {
        if (platform::readErrorFor(rc, file) == platform::ReadError::NotExist)
            return {};
        return {std::nullopt, unreadable + platform::errorText(rc) + u')'};
    }
    (void)probe.close();  // only opened to see that it can be
    const platform::IniFile ini(file);
    const QString host = ini.readString(kProxySection, kProxyHostKey).trimmed();
    if (host.isEmpty())
        return {};
    http::ProxyServer proxy;
    proxy.host = host;
    proxy.port = ini.readInt(kProxySection, kProxyPortKey, kDefaultProxyPort);
    proxy.user = ini.readString(kProxySection, kProxyUserKey).trimmed();
    // A password that is no protected text would be sent as whatever its
    // digits read as: the proxy would refuse it without saying why.
    const std::optional<QString> password = decodeprotectedstring(ini.readString(kProxySection, kProxyPassKey));
    if (!password)
        return {std::nullopt, unreadable + kProxyPassKey + QStringLiteral(" is no protected text)")};
    proxy.password = password->trimmed();
    return {proxy, QString()};
}

http::TlsSettings readtlssettings()
{
    http::TlsSettings tls;
    const QString file = proxysettingsfile();
    if (!platform::isFile(file))
        return tls;
    const platform::IniFile ini(file);
    tls.verify = ini.readInt(kTlsSection, kTlsVerifyKey, 1) != 0;
    tls.caFile = ini.readString(kTlsSection, kTlsCaFileKey).trimmed();
    return tls;
}

QString readhostsetting(const QString& key, const QString& fallback)
{
    const QString file = proxysettingsfile();
    if (!platform::isFile(file))
        return fallback;
    const QString value = platform::IniFile(file).readString(kHostsSection, key).trimmed();
    return value.isEmpty() ? fallback : value;
}

}  // namespace vek
