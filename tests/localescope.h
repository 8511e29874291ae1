#pragma once
// A locale snapshot installed for one test and put back afterwards.
#include "platform/libformat.h"
#include "testsupport.h"

#include <QString>

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
