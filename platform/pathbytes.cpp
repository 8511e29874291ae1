#include "platform/pathbytes.h"

#include <cstring>

namespace platform {
namespace {

// Stray bytes are kept as U+DC80..U+DCFF, never produced by well-formed UTF-8.
constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `p` (of `left` bytes), with
// its code point, or 0 when the bytes there are ill-formed. The ranges of the
// second byte rule out overlong forms, surrogates and code points past U+10FFFF.
int wellFormedSequence(const unsigned char* p, qsizetype left, char32_t* codePoint)
{
    const unsigned char lead = p[0];
    int length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    char32_t cp = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(p[i]))
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    *codePoint = cp;
    return length;
}

QString decodeBytes(const char* bytes, qsizetype size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    qsizetype i = 0;
    while (i < size && p[i] < 0x80)
        ++i;
    if (i == size)
        return QString::fromLatin1(bytes, size);  // plain ASCII, the common case
    QString out;
    out.reserve(size);
    out.append(QLatin1StringView(bytes, i));
    while (i < size) {
        if (p[i] < 0x80) {
            out.append(QLatin1Char(char(p[i])));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int length = wellFormedSequence(p + i, size - i, &cp);
        if (length == 0) {
            out.append(QChar(char16_t(kEscapeBase + p[i])));
            ++i;
            continue;
        }
        out.append(QChar::fromUcs4(cp));
        i += length;
    }
    return out;
}

}  // namespace

QByteArray encodePath(const QString& path)
{
    QByteArray out;
    const QStringView text(path);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // A low surrogate right after a high one is half of a real character.
        if (c < kFirstEscape || c > kLastEscape || (i > 0 && text[i - 1].isHighSurrogate()))
            continue;
        out.append(text.mid(runStart, i - runStart).toUtf8());
        out.append(char(c - kEscapeBase));
        runStart = i + 1;
    }
    if (runStart == 0)
        return path.toUtf8();
    out.append(text.mid(runStart).toUtf8());
    return out;
}

QString decodePath(const char* bytes)
{
    return decodeBytes(bytes, static_cast<qsizetype>(std::strlen(bytes)));
}

QString decodePath(const QByteArray& bytes)
{
    return decodeBytes(bytes.constData(), bytes.size());
}

}  // namespace platform
