#include "lib/numbers.h"

#include "lib/basictext.h"
#include "platform/libformat.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace vek {
namespace {

QChar decimalSeparator()
{
    return platform::libformat().decimalSeparator;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A plain number under the decimal separator `d`: sign, digits, one decimal
// separator, an optional exponent. Checked by hand so that group separators,
// "inf", "nan" and hexadecimal forms never read as numbers.
bool isPlainNumber(const QString& s, QChar d)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    int digits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == d) {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        int expDigits = 0;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

// Rounds to the nearest integer with halves to the even neighbour, whatever
// rounding mode the floating-point unit happens to be in.
double roundHalfEven(double x)
{
    const double lower = std::floor(x);
    const double diff = x - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

// Digits and decimal exponent of |value| rounded to `significant` digits:
// value = 0.d1d2d3... * 10^(exponent + 1).
struct Decimal {
    QByteArray digits;
    int exponent = 0;
};

Decimal toDecimal(double value, int significant)
{
    const QByteArray e = QByteArray::number(std::fabs(value), 'e', significant - 1);
    Decimal out;
    const qsizetype ePos = e.indexOf('e');
    for (qsizetype i = 0; i < ePos; ++i) {
        if (e[i] != '.')
            out.digits += e[i];
    }
    out.exponent = e.mid(ePos + 1).toInt();
    return out;
}

QString exponentForm(const Decimal& dec, bool negative, QChar sep)
{
    QByteArray digits = dec.digits;
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    QString out = negative ? QStringLiteral("-") : QString();
    out += QLatin1Char(digits[0]);
    if (digits.size() > 1)
        out += sep + QString::fromLatin1(digits.mid(1));
    out += u'E' + QString::number(dec.exponent);
    return out;
}

}  // namespace

QString inttotext(int value)
{
    return QString::number(value);
}

QString int64totext(qint64 value)
{
    return QString::number(value);
}

QString fixdecimalpoint(const QString& text)
{
    const QChar d = decimalSeparator();
    QString out = text;
    if (d == u',' && !out.contains(u',')) {
        const qsizetype dot = out.indexOf(u'.');
        if (dot >= 0)
            out[dot] = u',';
    }
    if (d == u'.' && !out.contains(u'.')) {
        const qsizetype comma = out.indexOf(u',');
        if (comma >= 0)
            out[comma] = u'.';
    }
    return out;
}

namespace {

// The common shape of a number in a list, digits with at most one "." or ","
// and an optional minus, read without a copy of the text. Under a decimal
// separator of "." or "," either mark reads as the decimal point, as
// fixdecimalpoint makes it. Any other text gives nothing.
std::optional<double> readPlainDecimal(const QString& text, QChar d)
{
    if ((d != u'.' && d != u',') || text.size() > 40)
        return std::nullopt;
    char buffer[40];
    qsizetype n = 0;
    bool separator = false;
    const bool negative = text.front() == u'-';
    for (qsizetype i = negative ? 1 : 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            buffer[n++] = static_cast<char>(c);
        } else if ((c == u'.' || c == u',') && !separator) {
            separator = true;
            buffer[n++] = '.';
        } else {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (n == 0 || error != std::errc() || end != buffer + n)
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

double texttofloat(const QString& text)
{
    if (text.isEmpty())
        return 0;
    const QChar d = decimalSeparator();
    if (const auto plain = readPlainDecimal(text, d))
        return *plain;
    QString s = trimtext(fixdecimalpoint(text));
    if (!isPlainNumber(s, d))
        return 0;
    if (d != u'.')
        s.replace(d, u'.');
    // Without an exponent and in a short text the value can neither overflow
    // nor underflow; then the plain library conversion gives the same
    // correctly rounded value as QLocale's, at a fraction of its cost (a list
    // sorted by a number column reads every row).
    if (s.size() <= 64 && !s.contains(u'e') && !s.contains(u'E')) {
        char buffer[64];
        const bool negative = s.front() == u'-';
        const qsizetype start = (negative || s.front() == u'+') ? 1 : 0;
        qsizetype n = 0;
        for (qsizetype i = start; i < s.size(); ++i)
            buffer[n++] = static_cast<char>(s[i].unicode());
        double value = 0;
        const auto [end, error] = std::from_chars(buffer, buffer + n, value);
        if (error == std::errc() && end == buffer + n)
            return negative ? -value : value;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(s, &ok);
    return ok && std::isfinite(value) ? value : 0;
}

int texttoint(const QString& text)
{
    bool ok = false;
    const int value = trimtext(text).toInt(&ok, 10);
    return ok ? value : 0;
}

int texttoroundint(const QString& text)
{
    const double rounded = roundHalfEven(texttofloat(text));
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(rounded);
}

QString floattotext(double value, int decimals, int significant)
{
    if (!std::isfinite(value))
        return {};
    decimals = qBound(0, decimals, 18);
    significant = qBound(1, significant, 18);
    const QChar sep = decimalSeparator();
    const bool negative = std::signbit(value);

    const Decimal dec = toDecimal(value, significant);
    const int intDigits = dec.exponent + 1;
    if (intDigits > significant)
        return exponentForm(dec, negative, sep);

    QString body;
    if (intDigits + decimals < significant) {
        // The decimals cut before the significant digits do: one rounding.
        body = QString::fromLatin1(QByteArray::number(std::fabs(value), 'f', decimals));
    } else {
        // The significant digits run out first: place the point in them.
        const QString digits = QString::fromLatin1(dec.digits);
        QString intPart;
        QString frac;
        if (intDigits > 0) {
            intPart = digits.left(intDigits);
            frac = digits.mid(intDigits);
        } else {
            intPart = QStringLiteral("0");
            frac = QString(-intDigits, u'0') + digits;
        }
        frac = frac.left(decimals).leftJustified(decimals, u'0');
        body = decimals > 0 ? intPart + u'.' + frac : intPart;
    }
    // A value that rounds to zero is shown without a sign ("0.00", not "-0.00").
    const bool allZero = !std::any_of(body.cbegin(), body.cend(), [](QChar c) { return c > u'0' && c <= u'9'; });
    body.replace(u'.', sep);
    return negative && !allZero ? u'-' + body : body;
}

QString floattotrimmed(double value)
{
    return trimtext(floattotext(value, 2, 10));
}

QString floattopadded(double value)
{
    return floattotext(value, 2, 10).rightJustified(10, u' ');
}

QString booltotext(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

bool isnumbertext(const QString& text)
{
    const QString s = trimtext(text);
    int separators = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (isDigit(c))
            continue;
        if (c == u',' || c == u'.') {
            ++separators;
            continue;
        }
        // A sign on its own is not a number.
        if ((c == u'+' || c == u'-') && i == 0 && s.size() > 1)
            continue;
        return false;
    }
    return separators <= 1;
}

bool isnumeric(const QString& text)
{
    return !text.isEmpty() && isnumbertext(text);
}

QString zeropad(const QString& text, int width)
{
    return trimtext(text).rightJustified(width, u'0');
}

QString twodigits(int value)
{
    const QString text = inttotext(value);
    return text.size() < 3 ? zeropad(text, 2) : text.right(2);
}

}  // namespace vek
