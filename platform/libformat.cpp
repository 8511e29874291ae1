#include "platform/libformat.h"

#include <QLocale>
#include <optional>

namespace platform {
namespace {

std::optional<LocaleFormat> g_format;

QChar separatorOf(const QString& dateFormat)
{
    for (const QChar c : dateFormat) {
        if (!c.isLetter())
            return c;
    }
    return u'/';
}

}  // namespace

QLocale rootCollationLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QLocale collationLocaleFor(const QLocale& locale)
{
    return locale.language() == QLocale::C ? rootCollationLocale() : locale;
}

LocaleFormat systemLocaleFormat()
{
    return localeFormatOf(QLocale::system());
}

LocaleFormat localeFormatOf(const QLocale& locale)
{
    LocaleFormat f;
    const QString decimal = locale.decimalPoint();
    f.decimalSeparator = decimal.isEmpty() ? QChar(u'.') : decimal.front();
    const QString group = locale.groupSeparator();
    f.thousandSeparator = group.isEmpty() ? QChar(u',') : group.front();
    f.listSeparator = f.decimalSeparator == u',' ? QChar(u';') : QChar(u',');
    f.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    // The family's date texts are numeric, with the separator after the first
    // two digits, so that lists can tell them from other texts and sort them.
    // A locale whose short date spells the month ("d MMM yyyy", the C locale's)
    // gets the numeric day-first form instead.
    if (f.shortDateFormat.contains(QLatin1String("MMM")) || f.shortDateFormat.contains(QLatin1String("ddd")))
        f.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    // Two-digit years lose the century on the way back from a date text.
    if (!f.shortDateFormat.contains(QLatin1String("yyyy")))
        f.shortDateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    f.dateSeparator = separatorOf(f.shortDateFormat);
    f.longTimeFormat = QStringLiteral("hh:mm:ss");
    f.collation = collationLocaleFor(locale);
    return f;
}

const LocaleFormat& libformat()
{
    if (!g_format)
        g_format = systemLocaleFormat();
    return *g_format;
}

void setLibformat(const LocaleFormat& format)
{
    g_format = format;
}

QCollator textCollator()
{
    QCollator collator(libformat().collation);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

}  // namespace platform
