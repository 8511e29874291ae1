#pragma once
// The settings of the family's web transfers, in "ProxySettings.ini" in the
// data folder: the proxy (section "PROXY"), how servers are verified (section
// "TLS") and the hosts the family talks to (section "HOSTS"), each with a
// default, so that a site with its own servers, and the tests, can point the
// transfers elsewhere.
#include "platform/result.h"
#include "web/httpclient.h"

#include <QString>

#include <optional>

namespace vek {

inline const QString kProxySettingsName = QStringLiteral("ProxySettings.ini");
inline const QString kProxySection = QStringLiteral("PROXY");
inline const QString kProxyHostKey = QStringLiteral("HOST");
inline const QString kProxyPortKey = QStringLiteral("PORT");
inline const QString kProxyUserKey = QStringLiteral("USER");
inline const QString kProxyPassKey = QStringLiteral("PASS");
inline constexpr int kDefaultProxyPort = 3128;
inline const QString kTlsSection = QStringLiteral("TLS");
inline const QString kTlsCaFileKey = QStringLiteral("CAFile");
inline const QString kTlsVerifyKey = QStringLiteral("Verify");
inline const QString kHostsSection = QStringLiteral("HOSTS");
inline const QString kTranslateHostKey = QStringLiteral("Translate");
inline const QString kHomePageKey = QStringLiteral("Home");
// The public translation service that needs no key.
inline const QString kDefaultTranslateHost = QStringLiteral("https://translate.googleapis.com");
// The page NetCheck fetches when given no address. A name reserved for
// examples, so that no real host is asked before the settings name one.
inline const QString kDefaultHomePage = QStringLiteral("https://www.example.com/");

// The data folder's "ProxySettings.ini".
QString proxysettingsfile();
inline const QString kUnreadableProxySettings = QStringLiteral("The proxy settings file could not be read: ");

// The proxy a settings file names: none when the file is missing or its
// "HOST" is empty; the port 3128 when "PORT" is missing; the password turned
// back from its protected text and trimmed. A failure, its message starting
// with kUnreadableProxySettings and the file, for a file that is there but
// cannot be read (its code; winerr::AccessDenied for a folder in its place)
// or whose "PASS" is no protected text (decodeprotectedstring,
// winerr::InvalidParameter): a transfer must not go direct around a proxy it
// could not learn of.
[[nodiscard]] platform::Result<std::optional<http::ProxyServer>> readproxysettings(const QString& file);
// How https servers are checked, from the data folder's settings file:
// verified unless "Verify" is 0, with "CAFile" as an extra trusted authority.
http::TlsSettings readtlssettings();
// A host setting of section "HOSTS", or `fallback` when it is missing or
// empty; a trailing "/" is kept as written.
QString readhostsetting(const QString& key, const QString& fallback);

}  // namespace vek
