#include "lib/webtext.h"

#include "lib/basictext.h"

namespace vek {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool isSafe(char16_t c, bool keepreserved)
{
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u' ')
        return true;
    return keepreserved && c < 128 && QStringView(u"!#$&'()*+,/:;=?@[]").contains(QChar(c));
}

void appendEscape(QString& out, unsigned byte)
{
    out += u'%';
    out += QLatin1Char(kHex[(byte >> 4) & 0xF]);
    out += QLatin1Char(kHex[byte & 0xF]);
}

}  // namespace

QString urlencode(const QString& text, bool spaceasplus, bool keepreserved)
{
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ')
            out += spaceasplus ? QStringLiteral("+") : QStringLiteral("%20");
        else if (isSafe(c, keepreserved))
            out += ch;
        else if (c < 256)
            appendEscape(out, c);
        else {
            appendEscape(out, c >> 8);
            appendEscape(out, c & 0xFF);
        }
    }
    return out;
}

QString urldecode(const QString& text)
{
    if (text.contains(u'\n') || text.contains(u'"'))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'%') {
            // Characters that were never encoded are kept as they are.
            out += text[i];
            continue;
        }
        // A broken escape (not two hexadecimal digits, or cut off at the end)
        // decodes to the character 0 and is consumed whole.
        int value = 0;
        if (i + 2 < n) {
            const int high = hexnibble(text[i + 1]);
            const int low = hexnibble(text[i + 2]);
            if (high >= 0 && low >= 0)
                value = high * 16 + low;
        }
        out += QChar(char16_t(value));
        i += 2;
    }
    return out;
}

qint64 hextoint64(const QString& text)
{
    // Only a-z are upper-cased: full Unicode upper-casing turns some
    // characters into hexadecimal letters (the ligature U+FB00 into "FF").
    QString s = asciiupper(text);
    if (s.endsWith(u'H'))
        s.chop(1);
    // Unsigned arithmetic: more than 16 digits wrap instead of overflowing.
    quint64 total = 0;
    for (const QChar c : s) {
        const int v = hexnibble(c);
        if (v < 0)
            return 0;
        total = total * 16 + static_cast<quint64>(v);
    }
    return static_cast<qint64>(total);
}

}  // namespace vek
