#include "web/websettings.h"

#include "lib/folders.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "platform/readerror.h"
#include "platform/winerror.h"
#include "web/protectstrings.h"

namespace vek {

QString proxysettingsfile()
{
    return datafolder() + kProxySettingsName;
}

platform::Result<std::optional<http::ProxyServer>> readproxysettings(const QString& file)
{
    const std::optional<http::ProxyServer> none;
    if (!platform::pathExists(file))
        return none;
    const QString unreadable = kUnreadableProxySettings + file + QStringLiteral(" (");
    if (!platform::isFile(file))
        return platform::fail(platform::winerr::AccessDenied, unreadable + QStringLiteral("it is no file)"));
    // The ini reader takes a file it cannot read for an empty one: whether it
    // can be read is found out first.
    platform::RawFile probe;
    if (const int rc = probe.open(file, platform::OpenMode::Read)) {
        if (platform::readErrorFor(rc, file) == platform::ReadError::NotExist)
            return none;
        return platform::fail(rc, unreadable + platform::errorText(rc) + u')');
    }
    (void)probe.close();  // only opened to see that it can be
    const platform::IniFile ini(file);
    const QString host = ini.readString(kProxySection, kProxyHostKey).trimmed();
    if (host.isEmpty())
        return none;
    http::ProxyServer proxy;
    proxy.host = host;
    proxy.port = ini.readInt(kProxySection, kProxyPortKey, kDefaultProxyPort);
    proxy.user = ini.readString(kProxySection, kProxyUserKey).trimmed();
    // A password that is no protected text would be sent as whatever its
    // digits read as: the proxy would refuse it without saying why.
    const std::optional<QString> password = decodeprotectedstring(ini.readString(kProxySection, kProxyPassKey));
    if (!password) {
        return platform::fail(platform::winerr::InvalidParameter,
                              unreadable + kProxyPassKey + QStringLiteral(" is no protected text)"));
    }
    proxy.password = password->trimmed();
    return std::optional<http::ProxyServer>(std::move(proxy));
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
