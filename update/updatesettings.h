#pragma once
// Where the updater reaches the vendor, from "NewSoftware.ini" in the
// configuration folder, section "UPDATE": the vendor's web host (of the
// update service and of the download script), the web site domain in the
// server's default download folder, and the sender of the notices. Each has a
// default under a name reserved for examples, so that no real host is asked
// before the settings name one.
#include <QString>

namespace vek {

inline const QString kUpdateSettingsName = QStringLiteral("NewSoftware.ini");
inline const QString kUpdateSection = QStringLiteral("UPDATE");
inline const QString kWebHostKey = QStringLiteral("WebHost");
inline const QString kSiteDomainKey = QStringLiteral("SiteDomain");
inline const QString kSenderKey = QStringLiteral("Sender");
inline const QString kDefaultWebHost = QStringLiteral("update.invalid");
inline const QString kDefaultSiteDomain = QStringLiteral("update.invalid");
inline const QString kDefaultSender = QStringLiteral("updates@update.invalid");

// The configuration folder's "NewSoftware.ini".
QString updatesettingsfile();

struct UpdateSettings {
    // A host name ("downloads.example.com", optionally with ":port"), or an
    // address with its scheme ("http://127.0.0.1:8080"), which is then used
    // as written instead of the scheme the updater would choose.
    QString webHost = kDefaultWebHost;
    QString siteDomain = kDefaultSiteDomain;
    QString sender = kDefaultSender;

    // `scheme` + the web host, or the web host as written when it has a
    // scheme; never a trailing "/".
    QString hostaddress(const QString& scheme) const;
};

// The settings of the file; a key that is missing or empty keeps its default.
UpdateSettings readupdatesettings();

}  // namespace vek
