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

// The locale's short date, a blank and the long time; the time is left out at
// exactly midnight, which is how date-only values show.
QString datetext(const QDateTime& date);
// The same for a local date and time given apart (empty when either is invalid).
QString datetext(const QDate& date, const QTime& time);

}  // namespace vek
