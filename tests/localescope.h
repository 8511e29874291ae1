#pragma once
// A locale snapshot installed for one test and put back afterwards, and the
// same for Qt's default locale.
#include "platform/libformat.h"
#include "testsupport.h"

#include <QLocale>
#include <QString>

namespace testsupport {

class LocaleScope {
public:
    // A locale with the given decimal separator; the list separator follows it
    // as it does on the platform ("," -> ";", "." -> ",").
    explicit LocaleScope(QChar decimal, const QString& shortDate = QStringLiteral("dd/MM/yyyy"))
        : saved_(platform::libformat())
    {
        platform::LocaleFormat f;
        f.decimalSeparator = decimal;
        f.thousandSeparator = decimal == u',' ? QChar(u'.') : QChar(u',');
        f.listSeparator = decimal == u',' ? QChar(u';') : QChar(u',');
        f.shortDateFormat = shortDate;
        platform::setLibformat(f);
    }
    // Exactly this snapshot.
    explicit LocaleScope(const platform::LocaleFormat& format) : saved_(platform::libformat())
    {
        platform::setLibformat(format);
    }
    ~LocaleScope() { platform::setLibformat(saved_); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    platform::LocaleFormat saved_;
};

// Qt's default locale (QLocale::setDefault), which QLocale() gives.
class DefaultLocaleScope {
public:
    explicit DefaultLocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocaleScope() { QLocale::setDefault(saved_); }
    DefaultLocaleScope(const DefaultLocaleScope&) = delete;
    DefaultLocaleScope& operator=(const DefaultLocaleScope&) = delete;

private:
    QLocale saved_;
};

}  // namespace testsupport
