#pragma once
// Test helpers for the conversion tests: a locale snapshot installed for one
// test and put back afterwards, and readable QString output in failures.
#include "platform/libformat.h"

#include <QString>
#include <ostream>

// Lets GoogleTest print texts instead of their bytes.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace testsupport {

// A locale with the given decimal separator; the list separator follows it as
// it does on the platform ("," -> ";", "." -> ",").
class LocaleScope {
public:
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
    ~LocaleScope() { platform::setLibformat(saved_); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    platform::LocaleFormat saved_;
};

}  // namespace testsupport
