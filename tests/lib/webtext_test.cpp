#include "lib/webtext.h"
#include "localescope.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vek;

TEST(Webtext, UrlencodeEscapesAllButTheSafeCharacters)
{
    const struct {
        QString text;
        bool plus;
        bool keep;
        const char* expected;
    } cases[] = {
        {QStringLiteral("a b-c"), false, false, "a%20b%2Dc"},
        {QStringLiteral("a b"), true, false, "a+b"},
        {QStringLiteral("100%."), false, false, "100%25%2E"},
        {QStringLiteral("Az09"), false, false, "Az09"},
        {QStringLiteral("\u00E9\t"), false, false, "%E9%09"},
        {QStringLiteral("\u20AC"), false, false, "%20%AC"},
        {QStringLiteral("a/b?c=d&e"), false, false, "a%2Fb%3Fc%3Dd%26e"},
        {QStringLiteral("!#$&'()*+,/:;=?@[]"), false, true, "!#$&'()*+,/:;=?@[]"},
        {QStringLiteral("a b+c~"), true, true, "a+b+c%7E"},
        {QStringLiteral("\"<>"), false, true, "%22%3C%3E"},
        {QString(), true, true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(urlencode(c.text, c.plus, c.keep), QString::fromLatin1(c.expected)) << c.expected;
}

TEST(Webtext, UrldecodeTurnsEachEscapeIntoOneCharacter)
{
    const struct {
        QString text;
        QString expected;
    } cases[] = {
        {QStringLiteral("%41%4a+"), QStringLiteral("AJ+")},
        {QStringLiteral("a%20b%2d"), QStringLiteral("a b-")},
        {QStringLiteral("%e9t%C3%A9"), QStringLiteral("\u00E9t\u00C3\u00A9")},  // bytes, not UTF-8
        {QStringLiteral("caf\u00E9 \u20AC"), QStringLiteral("caf\u00E9 \u20AC")},  // unencoded text is kept
        {QStringLiteral("%zzA"), QString(QChar(0)) + u'A'},
        {QStringLiteral("%1HA"), QString(QChar(0)) + u'A'},
        {QStringLiteral("ab%4"), QStringLiteral("ab") + QChar(0)},
        {QStringLiteral("ab%"), QStringLiteral("ab") + QChar(0)},
        {QStringLiteral("say \"%41\""), QStringLiteral("say \"%41\"")},
        {QStringLiteral("x\n%41"), QStringLiteral("x\n%41")},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(urldecode(c.text), c.expected) << c.text.toStdString();
}

TEST(Webtext, UrldecodeUndoesUrlencodeForSingleByteText)
{
    QString all;
    for (char16_t c = 1; c < 256; ++c) {
        if (c != u'"' && c != u'\n')
            all += QChar(c);
    }
    for (const bool keep : {false, true})
        EXPECT_EQ(urldecode(urlencode(all, false, keep)), all);
}

TEST(Webtext, Hextoint64)
{
    const struct {
        const char* text;
        qint64 expected;
    } cases[] = {
        {"1FH", 31},
        {"1fh", 31},
        {"ff", 255},
        {"0", 0},
        {"1G", 0},
        {"", 0},
        {"H", 0},
        {"G1", 0},
        {" 1", 0},
        {"7FFFFFFFFFFFFFFF", std::numeric_limits<qint64>::max()},
        {"FFFFFFFFFFFFFFFF", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hextoint64(QString::fromLatin1(c.text)), c.expected) << c.text;
}
