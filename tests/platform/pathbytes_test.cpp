#include "platform/pathbytes.h"

#include <gtest/gtest.h>

using platform::decodePath;
using platform::encodePath;

TEST(PathBytes, NamesComeBackByteForByte)
{
    const struct {
        const char* why;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"ASCII", "prog.exe", QStringLiteral("prog.exe")},
        {"UTF-8", "\xC3\xA4pfel.exe", QStringLiteral(u"\u00E4pfel.exe")},
        {"past U+FFFF", "\xF0\x9F\x98\x80.exe", QStringLiteral(u"\U0001F600.exe")},
        {"a Latin-1 byte", "caf\xE9.exe", QString::fromUtf16(u"caf\xDCE9.exe")},
        {"cut short before ASCII",
         "\xE2\x82"
         "A",
         QString::fromUtf16(u"\xDCE2\xDC82"
                            u"A")},
        {"cut short at the end", "a\xC3", QString::fromUtf16(u"a\xDCC3")},
        {"a stray continuation byte", "\x80x", QString::fromUtf16(u"\xDC80x")},
        {"overlong", "\xC0\xAF", QString::fromUtf16(u"\xDCC0\xDCAF")},
        {"an encoded surrogate", "\xED\xA0\x80", QString::fromUtf16(u"\xDCED\xDCA0\xDC80")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", QString::fromUtf16(u"\xDCF4\xDC90\xDC80\xDC80")},
        {"escapes beside a real pair", "\xFF\xF0\x9F\x98\x80\xFE", QString::fromUtf16(u"\xDCFF\U0001F600\xDCFE")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodePath(c.bytes), c.text) << c.why;
        EXPECT_EQ(decodePath(c.bytes.constData()), c.text) << c.why;
        EXPECT_EQ(encodePath(c.text), c.bytes) << c.why;
    }
}
