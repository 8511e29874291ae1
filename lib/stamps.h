#pragma once
// Fixed-width date and time stamps for file names and logs, and the family's
// date text. Stamps are runs of two-digit groups without separators.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace vek {

// Dates on or before this moment stand for "no date given" (the family's date
// value 0 or less) and stamp the current date instead.
QDateTime nodatelimit();

// YYMMDD (year mod 100) of the date; an invalid date or one on or before
// nodatelimit() stamps the current local date.
QString datestamp(const QDateTime& date = {});
// Today as DDMMYY.
QString todayddmmyy();
// The day of the month as two digits.
QString todayday();
// A six-character stamp with its first and last pair swapped (YYMMDD <->
// DDMMYY); any other text unchanged.
QString swapdatestamp(const QString& stamp);
QDateTime utcnow();
// HHMMSS of the current time, UTC or local.
QString timestamp(bool utc);
// The date of a YYMMDD stamp (years from 2000) at midnight; the current local
// date and time for an empty text or one that is not a valid date.
QDateTime yymmddtodate(const QString& text);
// twodigits of year - 2000, month and day. Years before 2000 give a
// negative year group, so such stamps never pass for this century's.
QString datetoyymmdd(const QDate& date);
QString datetoyymmdd(const QDateTime& date);
// datetoyymmdd followed by HHMMSS.
QString datetimestamp(const QDateTime& date);
// Reads "DD/MM/YYYY HH:MM:SS" by position (the characters between the groups
// are not looked at); empty when the groups do not make a valid date and time.
std::optional<QDateTime> texttodatetime(const QString& text);

// Reads a date written in the locale's short date, its groups in the order
// the short date puts them and split by its separator, as the locale's short
// date reading takes them: day and month of one or two digits; a year of four
// digits as written, of one or two digits in the century window 1950-2049
// (shortyearcentury); and a year left out ("05/09") the current year.
std::optional<QDate> readshortdate(QStringView text);
// The year a one- or two-digit year stands for: 50-99 the 1900s, 00-49 the 2000s.
int shortyearcentury(int year);
// Reads a date text: readshortdate, optionally followed by a blank and the
// long time or "hh:mm"; midnight when the time is left out.
std::optional<QDateTime> readdatetext(const QString& text);

// The locale's short date, a blank and the long time; the time is left out at
// exactly midnight, which is how date-only values show.
QString datetext(const QDateTime& date);
// The same for a local date and time given apart (empty when either is invalid).
QString datetext(const QDate& date, const QTime& time);

}  // namespace vek
