#include "lib/stamps.h"

#include "lib/numbers.h"
#include "platform/libformat.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace vek {
namespace {

QString hhmmss(const QTime& time)
{
    return twodigits(time.hour()) + twodigits(time.minute()) + twodigits(time.second());
}

// Two-digit years below this are of the 2000s, the rest of the 1900s.
constexpr int kShortYearPivot = 50;

// The order of day ('d'), month ('M') and year ('y') in a date format.
QString fieldOrder(const QString& format)
{
    QString order;
    for (const QChar c : format) {
        if ((c == u'd' || c == u'M' || c == u'y') && !order.contains(c))
            order += c;
    }
    return order;
}

// The value of a group of 1 to `maxDigits` digits; -1 for anything else.
int groupValue(QStringView group, int maxDigits)
{
    if (group.isEmpty() || group.size() > maxDigits)
        return -1;
    int value = 0;
    for (const QChar c : group) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The text of `date` in `format`, written by hand when the format is made of
// day and month fields of one or two letters (d, dd, M, MM), a four-letter
// year (yyyy) and characters that are neither letters nor quotes, as every
// numeric date format is; nullopt for any other format or a year outside
// 1000..9999, which QDate::toString writes. A listing meets many days, and
// the format parser costs more than the rest of a file's date text.
std::optional<QString> numericdaytext(const QDate& date, const QString& format)
{
    if (date.year() < 1000 || date.year() > 9999)
        return std::nullopt;
    QString out;
    out.reserve(format.size() + 2);
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == u'd' && run <= 2) {
            out += run == 2 ? twodigits(date.day()) : QString::number(date.day());
        } else if (c == u'M' && run <= 2) {
            out += run == 2 ? twodigits(date.month()) : QString::number(date.month());
        } else if (c == u'y' && run == 4) {
            out += QString::number(date.year());
        } else if (c.isLetter() || c == u'\'') {
            return std::nullopt;
        } else {
            out += QStringView(format).sliced(i, run);
        }
        i += run;
    }
    return out;
}

}  // namespace

QDateTime nodatelimit()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

QString datestamp(const QDateTime& date)
{
    const QDate d = (!date.isValid() || date <= nodatelimit()) ? QDate::currentDate() : date.date();
    return twodigits(d.year() % 100) + twodigits(d.month()) + twodigits(d.day());
}

QString todayddmmyy()
{
    return swapdatestamp(datestamp());
}

QString todayday()
{
    return todayddmmyy().left(2);
}

QString swapdatestamp(const QString& stamp)
{
    if (stamp.size() != 6)
        return stamp;
    return stamp.mid(4, 2) + stamp.mid(2, 2) + stamp.left(2);
}

QDateTime utcnow()
{
    return QDateTime::currentDateTimeUtc();
}

QString timestamp(bool utc)
{
    return hhmmss(utc ? utcnow().time() : QTime::currentTime());
}

QDateTime yymmddtodate(const QString& text)
{
    if (text.isEmpty())
        return QDateTime::currentDateTime();
    const QDate date(texttoint(text.mid(0, 2)) + 2000, texttoint(text.mid(2, 2)), texttoint(text.mid(4, 2)));
    if (!date.isValid())
        return QDateTime::currentDateTime();
    return QDateTime(date, QTime(0, 0));
}

QString datetoyymmdd(const QDate& date)
{
    return twodigits(date.year() - 2000) + twodigits(date.month()) + twodigits(date.day());
}

QString datetoyymmdd(const QDateTime& date)
{
    return datetoyymmdd(date.date());
}

QString datetimestamp(const QDateTime& date)
{
    return datetoyymmdd(date.date()) + hhmmss(date.time());
}

std::optional<QDateTime> texttodatetime(const QString& text)
{
    const auto group = [&text](int from, int length) { return texttoint(text.mid(from, length)); };
    const QDate date(group(6, 4), group(3, 2), group(0, 2));
    const int hour = group(11, 2);
    const int minute = group(14, 2);
    const int second = group(17, 2);
    if (!date.isValid() || date.year() < 1 || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    return QDateTime(date, QTime(hour, minute, second));
}

int shortyearcentury(int year)
{
    return year < kShortYearPivot ? 2000 + year : 1900 + year;
}

std::optional<QDate> readshortdate(QStringView text)
{
    const platform::LocaleFormat& f = platform::libformat();
    QString order = fieldOrder(f.shortDateFormat);
    if (order.size() != 3)
        order = QStringLiteral("dMy");
    const QList<QStringView> groups = text.split(f.dateSeparator);
    if (groups.size() == 2)
        order.remove(u'y');  // the year left out
    else if (groups.size() != 3)
        return std::nullopt;
    int day = -1, month = -1, year = QDate::currentDate().year();
    for (qsizetype i = 0; i < groups.size(); ++i) {
        switch (order[i].unicode()) {
        case u'd':
            day = groupValue(groups[i], 2);
            break;
        case u'M':
            month = groupValue(groups[i], 2);
            break;
        default:
            year = groupValue(groups[i], 4);
            if (groups[i].size() == 3)
                return std::nullopt;
            if (groups[i].size() <= 2 && year >= 0)
                year = shortyearcentury(year);
            break;
        }
    }
    const QDate date(year, month, day);
    if (year < 0 || !date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDateTime> readdatetext(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    const auto date = readshortdate(blank < 0 ? QStringView(trimmed) : QStringView(trimmed).left(blank));
    if (!date)
        return std::nullopt;
    if (blank < 0)
        return QDateTime(*date, QTime(0, 0));
    const QString timeText = trimmed.mid(blank + 1);
    for (const QString& format : {platform::libformat().longTimeFormat, QStringLiteral("hh:mm")}) {
        const QTime time = QTime::fromString(timeText, format);
        if (time.isValid())
            return QDateTime(*date, time);
    }
    return std::nullopt;
}

QString datetext(const QDateTime& date)
{
    if (!date.isValid())
        return {};
    return datetext(date.date(), date.time());
}

QString datetext(const QDate& date, const QTime& time)
{
    if (!date.isValid() || !time.isValid())
        return {};
    const platform::LocaleFormat& f = platform::libformat();
    // A listing writes the date text of every file: the texts of the days are
    // kept (a folder's files share few days), and the usual time format is
    // written by hand instead of going through the format parser.
    struct DayTexts {
        QString format;
        QHash<qint64, QString> days;
    };
    thread_local DayTexts cache;
    if (cache.format != f.shortDateFormat || cache.days.size() > 4096) {
        cache.format = f.shortDateFormat;
        cache.days.clear();
    }
    auto it = cache.days.find(date.toJulianDay());
    if (it == cache.days.end()) {
        std::optional<QString> day = numericdaytext(date, f.shortDateFormat);
        it = cache.days.insert(date.toJulianDay(), day ? *std::move(day) : date.toString(f.shortDateFormat));
    }
    const QString& day = *it;
    if (time == QTime(0, 0))
        return day;
    if (f.longTimeFormat != QLatin1String("hh:mm:ss"))
        return day + u' ' + time.toString(f.longTimeFormat);
    QString out(day.size() + 9, Qt::Uninitialized);  // the day, a blank, "hh:mm:ss"
    QChar* p = std::copy(day.cbegin(), day.cend(), out.data());
    *p++ = u' ';
    const int parts[3] = {time.hour(), time.minute(), time.second()};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            *p++ = u':';
        *p++ = QChar(u'0' + parts[i] / 10);
        *p++ = QChar(u'0' + parts[i] % 10);
    }
    return out;
}

}  // namespace vek
