// The web transfers' settings (ProxySettings.ini), the updater's
// (NewSoftware.ini), and the protected strings that keep passwords in them.
#include "familytargets.h"
#include "platform/inifile.h"
#include "platform/result.h"
#include "platform/runargs.h"
#include "update/updatesettings.h"
#include "web/protectstrings.h"
#include "web/websettings.h"

#include <QDir>
#include <QFile>

using namespace vek;

namespace fuzzchecks {
namespace {

// A value one line of an ini file can hold as it is: no line end, and no
// quote at either end (the ini reader takes quotes round a value away).
QString lineValue(Reader& in)
{
    QString s = in.chunkText();
    s.remove(u'\r');
    s.remove(u'\n');
    const QString t = s.trimmed();
    for (const QChar quote : {u'"', u'\''}) {
        if (t.startsWith(quote) || t.endsWith(quote))
            s.remove(quote);
    }
    return s;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// Protected strings: any 8-bit text comes back whole through its protected
// text, which is upper-case hexadecimal; a text that is no protected text
// does not decode.
QString checkProtected(Reader& in)
{
    const bool plain = in.flag();
    const QString text = in.text();
    if (plain) {
        QString latin;
        for (const QChar c : text)
            latin += QChar(char16_t(c.unicode() & 0xFF));
        const QString hidden = protectstring(latin);
        REQUIRE(hidden.size() == 2 * latin.size(), shown(hidden));
        for (const QChar c : hidden)
            REQUIRE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'), shown(hidden));
        REQUIRE(unprotectstring(hidden) == latin, shown(latin));
        const std::optional<QString> decoded = decodeprotectedstring(hidden);
        REQUIRE(decoded && *decoded == latin, shown(latin));
        return {};
    }
    const std::optional<QString> decoded = decodeprotectedstring(text);
    const bool protectedText = text.size() % 2 == 0 && std::all_of(text.cbegin(), text.cend(), isHexDigit);
    REQUIRE(decoded.has_value() == protectedText, shown(text));
    if (decoded) {
        REQUIRE(*decoded == unprotectstring(text), shown(text));
        REQUIRE(decoded->size() == text.size() / 2, shown(text));
    }
    return {};
}

// Any proxy settings file is read without an error (it is there and
// readable) unless its password is no protected text; settings written into
// it read back: host and user trimmed, the port, the password trimmed.
QString checkProxySettings(Reader& in)
{
    const bool overwrite = in.flag();
    const QString host = lineValue(in);
    const QString user = lineValue(in);
    const int port = in.value<quint16>();
    QString password;
    for (const char c : in.chunk())
        password += QChar(char16_t(quint8(c)));
    const QString file = scratchFile(kProxySettingsName);
    writeBytes(file, in.rest());

    const platform::Result<std::optional<http::ProxyServer>> raw = readproxysettings(file);
    const platform::IniFile given(file);
    const QString rawPass = given.readString(kProxySection, kProxyPassKey);
    const bool passDecodes = decodeprotectedstring(rawPass).has_value();
    if (!given.readString(kProxySection, kProxyHostKey).trimmed().isEmpty()) {
        REQUIRE(raw.ok() == passDecodes, raw.message() + QStringLiteral(" PASS=") + shown(rawPass));
        REQUIRE(raw.valueOr(std::nullopt).has_value() == passDecodes, shown(rawPass));
    } else {
        REQUIRE(raw.ok() && !raw.value(), raw.message());
    }
    if (!overwrite || host.trimmed().isEmpty())
        return {};

    platform::IniFile ini(file);
    REQUIRE(ini.writeString(kProxySection, kProxyHostKey, host) == 0, shown(host));
    REQUIRE(ini.writeInt(kProxySection, kProxyPortKey, port) == 0, QString::number(port));
    REQUIRE(ini.writeString(kProxySection, kProxyUserKey, user) == 0, shown(user));
    REQUIRE(ini.writeString(kProxySection, kProxyPassKey, protectstring(password)) == 0, shown(password));
    const platform::Result<std::optional<http::ProxyServer>> read = readproxysettings(file);
    REQUIRE(read.ok(), read.message());
    const std::optional<http::ProxyServer>& back = read.value();
    REQUIRE(back.has_value(), shown(host));
    REQUIRE(back->host == host.trimmed(), shown(host) + QStringLiteral(" -> ") + shown(back->host));
    REQUIRE(back->port == port, QString::number(back->port));
    REQUIRE(back->user == user.trimmed(), shown(user) + QStringLiteral(" -> ") + shown(back->user));
    REQUIRE(back->password == password.trimmed(), shown(password) + QStringLiteral(" -> ") + shown(back->password));
    return {};
}

// Any update settings file: every setting holds text (its default when
// missing or empty), an address never ends in "/"; settings written into it
// read back trimmed.
QString checkUpdateSettings(Reader& in)
{
    const QString folder = scratchFolder() + QStringLiteral("data");
    QDir().mkpath(folder);
    platform::setRunArguments({QStringLiteral("fuzz"), QStringLiteral("LOCALFOLDER=") + folder});
    const bool overwrite = in.flag();
    const QString webHost = lineValue(in);
    const QString siteDomain = lineValue(in);
    const QString sender = lineValue(in);
    const QString file = updatesettingsfile();
    writeBytes(file, in.rest());

    const UpdateSettings read = readupdatesettings();
    REQUIRE(!read.webHost.isEmpty() && !read.siteDomain.isEmpty() && !read.sender.isEmpty(), file);
    for (const QString& scheme : {QStringLiteral("https://"), QStringLiteral("http://"), QString()})
        REQUIRE(!read.hostaddress(scheme).endsWith(u'/'), shown(read.hostaddress(scheme)));
    if (!overwrite)
        return {};
    platform::IniFile ini(file);
    REQUIRE(ini.writeString(kUpdateSection, kWebHostKey, webHost) == 0, shown(webHost));
    REQUIRE(ini.writeString(kUpdateSection, kSiteDomainKey, siteDomain) == 0, shown(siteDomain));
    REQUIRE(ini.writeString(kUpdateSection, kSenderKey, sender) == 0, shown(sender));
    const UpdateSettings back = readupdatesettings();
    const UpdateSettings defaults;
    const auto expected = [](const QString& written, const QString& fallback) {
        return written.trimmed().isEmpty() ? fallback : written.trimmed();
    };
    REQUIRE(back.webHost == expected(webHost, defaults.webHost),
            shown(webHost) + QStringLiteral(" -> ") + shown(back.webHost));
    REQUIRE(back.siteDomain == expected(siteDomain, defaults.siteDomain),
            shown(siteDomain) + QStringLiteral(" -> ") + shown(back.siteDomain));
    REQUIRE(back.sender == expected(sender, defaults.sender),
            shown(sender) + QStringLiteral(" -> ") + shown(back.sender));
    return {};
}

}  // namespace

QString checkWebSettings(Reader& in)
{
    switch (in.byte() % 3) {
    case 0:
        return checkProtected(in);
    case 1:
        return checkProxySettings(in);
    default:
        return checkUpdateSettings(in);
    }
}

}  // namespace fuzzchecks
