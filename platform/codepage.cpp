#include "platform/codepage.h"

#include <QStringDecoder>

#include <array>

namespace platform {
namespace {

// 0x80-0x9F of Windows-1252; 0 where the code page leaves the byte undefined
// (such a byte maps to the C1 control of the same value, as Windows does).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code page's byte for the character, or -1 when it has none.
int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c || (kHigh[i] == 0 && c == 0x80 + i))
            return 0x80 + i;
    }
    return -1;
}

char encodeOne(char16_t c)
{
    const int b = byteOf(c);
    return b < 0 ? '?' : static_cast<char>(b);
}

// Written as plain loops over the whole text, with no early exit, so that the
// compiler runs them over many characters at once: most text of the family's
// files is ASCII, and a line is looked at whole either way.

// True when no byte has its high bit set.
bool isAscii(const char* data, qsizetype size)
{
    unsigned char high = 0;
    for (qsizetype i = 0; i < size; ++i)
        high |= static_cast<unsigned char>(data[i]);
    return high < 0x80;
}

// Whether every character is ASCII.
bool isAscii(const char16_t* src, qsizetype size)
{
    char16_t high = 0;
    for (qsizetype i = 0; i < size; ++i)
        high |= src[i];
    return high < 0x80;
}

// Writes the low byte of every character; true when all of them were ASCII,
// so that the bytes are the text.
bool narrowAscii(const char16_t* src, qsizetype size, char* dst)
{
    char16_t high = 0;
    for (qsizetype i = 0; i < size; ++i) {
        high |= src[i];
        dst[i] = static_cast<char>(src[i]);
    }
    return high < 0x80;
}

}  // namespace

QString fromCodePage(const char* data, qsizetype size)
{
    // Plain ASCII, most of every file, widens in bulk.
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0) ? kHigh[b - 0x80] : char16_t(b);
    }
    return out;
}

QString fromCodePage(const QByteArray& bytes)
{
    return fromCodePage(bytes.constData(), bytes.size());
}

void appendCodePage(QByteArray& out, const QString& text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
    if (narrowAscii(src, text.size(), dst))
        return;
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = src[i] < 0x80 ? static_cast<char>(src[i]) : encodeOne(src[i]);
}

bool encodeFittingCodePage(QStringView text, char* dst)
{
    const auto* src = reinterpret_cast<const char16_t*>(text.data());
    if (narrowAscii(src, text.size(), dst))
        return true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteOf(src[i]);
        if (b < 0)
            return false;
        dst[i] = static_cast<char>(b);
    }
    return true;
}

bool fitsCodePage(QStringView text)
{
    const auto* src = reinterpret_cast<const char16_t*>(text.data());
    if (isAscii(src, text.size()))
        return true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && byteOf(c.unicode()) < 0)
            return false;
    }
    return true;
}

QString fromUtf8Text(const char* data, qsizetype size)
{
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(data, size));
}

bool startsWithByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith(kUtf8Mark) || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

void appendEncoded(QByteArray& out, const QString& text, TextEncoding encoding)
{
    if (encoding == TextEncoding::CodePage)
        appendCodePage(out, text);
    else
        out.append(text.toUtf8());
}

QByteArray toCodePage(const QString& text)
{
    QByteArray out;
    appendCodePage(out, text);
    return out;
}

}  // namespace platform
