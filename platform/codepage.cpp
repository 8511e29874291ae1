#include "platform/codepage.h"

#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <cstring>

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

// Eight bytes at a time: true when none has its high bit set.
bool isAscii(const char* data, qsizetype size)
{
    qsizetype i = 0;
    std::uint64_t high = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        high |= word;
    }
    for (; i < size; ++i)
        high |= static_cast<unsigned char>(data[i]);
    return (high & 0x8080808080808080ULL) == 0;
}

// Writes the text as bytes when every character is ASCII, four characters at
// a time; false (with `dst` partly written) otherwise.
bool narrowAscii(const char16_t* src, qsizetype size, char* dst)
{
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        std::uint64_t word;
        std::memcpy(&word, src + i, 8);
        if (word & 0xFF80FF80FF80FF80ULL)
            return false;
        dst[i] = static_cast<char>(word);
        dst[i + 1] = static_cast<char>(word >> 16);
        dst[i + 2] = static_cast<char>(word >> 32);
        dst[i + 3] = static_cast<char>(word >> 48);
    }
    for (; i < size; ++i) {
        if (src[i] >= 0x80)
            return false;
        dst[i] = static_cast<char>(src[i]);
    }
    return true;
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

bool fitsCodePage(QStringView text)
{
    // Plain ASCII, most of every list, is looked at four characters at a time.
    const auto* src = reinterpret_cast<const char16_t*>(text.data());
    qsizetype i = 0;
    std::uint64_t high = 0;
    for (; i + 4 <= text.size(); i += 4) {
        std::uint64_t word;
        std::memcpy(&word, src + i, 8);
        high |= word;
    }
    for (; i < text.size(); ++i)
        high |= src[i];
    if ((high & 0xFF80FF80FF80FF80ULL) == 0)
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
