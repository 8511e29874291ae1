#pragma once
// The updater's side of the update service: the service address, one call
// with its argument text percent-encoded and its result decoded, and the
// e-mail notices of a download and of an installation.
#include "update/soapmessage.h"
#include "update/updatesettings.h"

#include <QString>
#include <QStringList>

namespace vek {

inline const QString kServicePath = QStringLiteral("/cgi-bin/vekinstaller/vekwscgi.exe/soap");
inline const QString kServiceUser = QStringLiteral("VekInstaller");
// The service password as protected text; the password sent is worked out
// from it at each use and never written anywhere.
inline const QString kStoredServicePassword = QStringLiteral("3C1A7E02B4D86F51");

// "https://" + the web host of the settings + the service path.
QString updateserviceaddress(const UpdateSettings& settings);

// Calls `operation` of the service at `address` (ISimple_Processor when the
// address holds "Simple" in any letter case, else IProcessor) with the
// argument text percent-encoded (blanks as %20, every character but letters,
// digits and the blank encoded). On success the result's value is the reply
// percent-decoded. `encoded`, when given, receives the text as sent.
SoapResult callupdateservice(const QString& address, const QString& operation, const QString& argument,
                             QString* encoded = nullptr);

// One e-mail notice: the parameter lines and the body lines, as sent.
struct UpdateNotice {
    QString email;
    QString subject;
    QStringList body;
};

inline const QString kDownloadSubject = QStringLiteral("Software Download");
inline const QString kInstallSubject = QStringLiteral("Software Installation");

// "HSD=" + today as DDMMYY, "user=", "password=" (the service password),
// "Email=", "Subject=", "From=" (the settings' sender), in that order.
QStringList noticeparameters(const UpdateNotice& notice, const UpdateSettings& settings);
// The body lines joined with "|", every "|" then turned into "<br>".
QString noticebodytext(const QStringList& bodyLines);
// The parameter lines joined with "&", then "&body64=" and the body text's
// bytes in Base64 without fill.
QString noticeargument(const QStringList& parameters, const QStringList& bodyLines);
// The parameter lines that may be written to a log: all but "HSD=", "user="
// and "password=".
QStringList loggableparameters(const QStringList& parameters);

// Sends the notice with doSendEmail.
SoapResult sendnotice(const UpdateNotice& notice, const UpdateSettings& settings);

// The head line of a log record: the local date and time as the locale
// formats them, a blank, and `tail`.
QString logheadline(const QString& tail);

}  // namespace vek
