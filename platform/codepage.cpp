#include "platform/codepage.h"

#include <array>

namespace platform {
namespace {

// 0x80-0x9F of Windows-1252; 0 where the code page leaves the byte undefined
// (such a byte maps to the C1 control of the same value, as Windows does).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

char encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c || (kHigh[i] == 0 && c == 0x80 + i))
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

QString fromCodePage(const char* data, qsizetype size)
{
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
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = src[i] < 0x80 ? static_cast<char>(src[i]) : encodeOne(src[i]);
}

QByteArray toCodePage(const QString& text)
{
    QByteArray out;
    appendCodePage(out, text);
    return out;
}

}  // namespace platform
