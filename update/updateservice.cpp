#include "update/updateservice.h"

#include "lib/fields.h"
#include "lib/stamps.h"
#include "lib/texts.h"
#include "lib/webtext.h"
#include "platform/libformat.h"
#include "update/base64.h"
#include "update/processor.h"
#include "web/protectstrings.h"

#include <QDateTime>

namespace vek {

QString updateserviceaddress(const UpdateSettings& settings)
{
    return settings.hostaddress(QStringLiteral("https://")) + kServicePath;
}

SoapResult callupdateservice(const QString& address, const QString& operation, const QString& argument,
                             QString* encoded)
{
    const bool simple = address.contains(QLatin1String("Simple"), Qt::CaseInsensitive);
    const std::unique_ptr<SoapInterface> service
        = simple ? getsimpleprocessor(false, address) : getprocessor(false, address);
    const QString sent = urlencode(argument, false, false);
    if (encoded)
        *encoded = sent;
    SoapResult result = service->call(operation, {sent});
    if (result.ok)
        result.value = urldecode(result.value);
    return result;
}

QStringList noticeparameters(const UpdateNotice& notice, const UpdateSettings& settings)
{
    return {QStringLiteral("HSD=") + todayddmmyy(),
            QStringLiteral("user=") + kServiceUser,
            QStringLiteral("password=") + unprotectstring(kStoredServicePassword),
            QStringLiteral("Email=") + notice.email,
            QStringLiteral("Subject=") + notice.subject,
            QStringLiteral("From=") + settings.sender};
}

QString noticebodytext(const QStringList& bodyLines)
{
    return joinfields(bodyLines, u'|').replace(u'|', QStringLiteral("<br>"));
}

QString noticeargument(const QStringList& parameters, const QStringList& bodyLines)
{
    return joinfields(parameters, u'&') + QStringLiteral("&body64=")
        + base64nofill(widetobytes(noticebodytext(bodyLines)));
}

QStringList loggableparameters(const QStringList& parameters)
{
    QStringList out;
    for (const QString& line : parameters) {
        if (!line.startsWith(QLatin1String("HSD=")) && !line.startsWith(QLatin1String("user="))
            && !line.startsWith(QLatin1String("password=")))
            out.append(line);
    }
    return out;
}

SoapResult sendnotice(const UpdateNotice& notice, const UpdateSettings& settings)
{
    return callupdateservice(updateserviceaddress(settings), QStringLiteral("doSendEmail"),
                             noticeargument(noticeparameters(notice, settings), notice.body));
}

QString logheadline(const QString& tail)
{
    const platform::LocaleFormat& f = platform::libformat();
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(f.shortDateFormat) + u' ' + now.toString(f.longTimeFormat) + u' ' + tail;
}

}  // namespace vek
