#include "web/transferlog.h"

#include "lib/folders.h"
#include "lib/stamps.h"
#include "lib/textlists.h"
#include "platform/fileapi.h"
#include "platform/libformat.h"

#include <QDateTime>
#include <QFileInfo>

namespace vek {

QString transferlogline(const QString& text)
{
    const platform::LocaleFormat& f = platform::libformat();
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(f.shortDateFormat) + u' ' + now.toString(f.longTimeFormat) + u' ' + text;
}

QString appendtransferlog(const QStringList& lines)
{
    const QString folder = datafolder() + kVekPostLogFolder;
    (void)platform::createFolders(folder);  // a folder not made fails the append below, which is silent
    QString name = folder + pathsep + todayday() + kVekPostLogSuffix;
    // The day's number comes back every month: last month's file starts afresh.
    const QFileInfo info(name);
    if (info.exists() && info.lastModified() < QDateTime::currentDateTime().addDays(-1))
        (void)platform::deleteFile(name);  // a file that stays is appended to instead
    (void)appendlines(name, lines);  // failures to write the log are silent
    return name;
}

QString loggableaddress(const QString& address)
{
    const qsizetype scheme = address.indexOf(QLatin1String("://"));
    const qsizetype start = scheme < 0 ? 0 : scheme + 3;
    // The user information ends at the last "@" before the path, query or fragment.
    qsizetype end = address.size();
    for (const QChar c : {u'/', u'?', u'#'}) {
        const qsizetype at = address.indexOf(c, start);
        if (at >= 0 && at < end)
            end = at;
    }
    const qsizetype at = end > start ? address.lastIndexOf(u'@', end - 1) : -1;
    if (at < start)
        return address;
    return address.left(start) + QStringLiteral("***") + address.mid(at);
}

QString unverifiedwarning(const http::TlsSettings& tls, const QString& address)
{
    return tls.verify ? QString() : kTlsUnverifiedWarning + u' ' + loggableaddress(address);
}

void logunverified(const http::TlsSettings& tls, const QString& address)
{
    if (!tls.verify)
        (void)appendtransferlog({transferlogline(unverifiedwarning(tls, address))});
}

}  // namespace vek
