#pragma once
// The snapshot of the system locale's formats that the library takes once at
// start-up. Tests and headless runs install their own.
#include <QChar>
#include <QString>

namespace platform {

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
};

// The snapshot of QLocale::system().
LocaleFormat systemLocaleFormat();

// The process-wide snapshot (taken from the system locale on first use).
const LocaleFormat& libformat();
void setLibformat(const LocaleFormat& format);

}  // namespace platform
