#include "update/updatesettings.h"

#include "lib/folders.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"

namespace vek {

QString updatesettingsfile()
{
    return configfolder() + kUpdateSettingsName;
}

QString UpdateSettings::hostaddress(const QString& scheme) const
{
    QString address = webHost.contains(QLatin1String("://")) ? webHost : scheme + webHost;
    while (address.endsWith(u'/'))
        address.chop(1);
    return address;
}

UpdateSettings readupdatesettings()
{
    UpdateSettings settings;
    const QString file = updatesettingsfile();
    if (!platform::isFile(file))
        return settings;
    const platform::IniFile ini(file);
    const auto read = [&](const QString& key, QString& value) {
        const QString text = ini.readString(kUpdateSection, key).trimmed();
        if (!text.isEmpty())
            value = text;
    };
    read(kWebHostKey, settings.webHost);
    read(kSiteDomainKey, settings.siteDomain);
    read(kSenderKey, settings.sender);
    return settings;
}

}  // namespace vek
