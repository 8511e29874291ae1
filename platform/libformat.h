#pragma once
// The snapshot of the system locale's formats that the library takes once at
// start-up. Tests and headless runs install their own.
#include <QChar>
#include <QCollator>
#include <QLocale>
#include <QString>

namespace platform {

// The locale whose collation stands for the root collation, for locales that
// have no collation of their own. Qt sorts the C locale (and "und", which it
// reads as C) by character codes, "A B a b"; English has no tailoring of the
// root collation, so it gives the root order, "a A b B".
QLocale rootCollationLocale();
// The locale whose collation sorts texts under `locale`: the locale itself,
// or the root stand-in where it has none (C, POSIX, C.UTF-8).
QLocale collationLocaleFor(const QLocale& locale);

struct LocaleFormat {
    QChar decimalSeparator = u'.';
    QChar thousandSeparator = u',';
    // ";" where the decimal separator is ",", else ",".
    QChar listSeparator = u',';
    QChar dateSeparator = u'/';
    // Qt date format of the short date, e.g. "dd/MM/yyyy".
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    // Qt time format of the long time.
    QString longTimeFormat = QStringLiteral("hh:mm:ss");
    // Text sorts compare by this locale's collation.
    QLocale collation = rootCollationLocale();
};

// The snapshot of QLocale::system().
LocaleFormat systemLocaleFormat();
// The snapshot of any locale (what the system snapshot would be under it).
LocaleFormat localeFormatOf(const QLocale& locale);

// The process-wide snapshot (taken from the system locale on first use).
const LocaleFormat& libformat();
void setLibformat(const LocaleFormat& format);

// The collator of every text sort, by the snapshot's collation. It tells
// case apart only between texts that are otherwise equal, so a sort without
// regard to case still comes out the same on every run: "a A b B c".
QCollator textCollator();

}  // namespace platform
