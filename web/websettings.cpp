#include "web/websettings.h"

#include "lib/folders.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "web/protectstrings.h"

namespace vek {

QString proxysettingsfile()
{
    return datafolder() + kProxySettingsName;
}

std::optional<http::ProxyServer> readproxysettings(const QString& file)
{
    if (!platform::isFile(file))
        return std::nullopt;
    const platform::IniFile ini(file);
    const QString host = ini.readString(kProxySection, kProxyHostKey).trimmed();
    if (host.isEmpty())
        return std::nullopt;
    http::ProxyServer proxy;
    proxy.host = host;
    proxy.port = ini.readInt(kProxySection, kProxyPortKey, kDefaultProxyPort);
    proxy.user = ini.readString(kProxySection, kProxyUserKey).trimmed();
    proxy.password = unprotectstring(ini.readString(kProxySection, kProxyPassKey)).trimmed();
    return proxy;
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
