#include "lib/texts.h"
#include "localescope.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vek;

TEST(Texts, NameAndValueParts)
{
    const struct {
        const char* text;
        const char* name;
        const char* value;
    } cases[] = {
        {"a = b ", "a ", "b"}, {"abc", "abc", "abc"}, {" abc ", " abc ", "abc"},
        {"k=v=w", "k", "v=w"}, {"=v", "", "v"},       {"k=", "k", ""},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(namepart(text), QString::fromLatin1(c.name)) << c.text;
        EXPECT_EQ(valuepart(text), QString::fromLatin1(c.value)) << c.text;
    }
    EXPECT_EQ(valuepartupper(QStringLiteral("k= straße")), QStringLiteral("STRASSE"));
}

TEST(Texts, NamevaluesepScopeSwitchesTheSeparatorForOneOperation)
{
    ASSERT_EQ(namevaluesep, QChar(u'='));
    {
        const namevaluesepscope outer(u';');
        EXPECT_EQ(namepart(QStringLiteral("a=1;b")), QStringLiteral("a=1"));
        EXPECT_EQ(valuepart(QStringLiteral("a=1;b")), QStringLiteral("b"));
        {
            const namevaluesepscope inner(u'\t');
            EXPECT_EQ(namepart(QStringLiteral("x\ty")), QStringLiteral("x"));
        }
        EXPECT_EQ(namevaluesep, QChar(u';'));
    }
    EXPECT_EQ(namevaluesep, QChar(u'='));
}

TEST(Texts, TextposnocaseIsOneBasedAndCaseBlind)
{
    EXPECT_EQ(textposnocase(QStringLiteral("b"), QStringLiteral("ABC")), 2);
    EXPECT_EQ(textposnocase(QStringLiteral("AbC"), QStringLiteral("xxabc")), 3);
    EXPECT_EQ(textposnocase(QStringLiteral("é"), QStringLiteral("CAFÉ")), 4);
    EXPECT_EQ(textposnocase(QStringLiteral("x"), QStringLiteral("abc")), 0);
    EXPECT_EQ(textposnocase(QString(), QStringLiteral("abc")), 0);
}

TEST(Texts, SamestartComparesTheCommonLengthFoldingOnlyAToZ)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"", "", true},       {"a", "", false},    {"", "a", false},    {"abc", "AB", true},
        {"AB", "abcd", true}, {"ab", "ac", false}, {"a1", "A1x", true}, {"[", "{", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(samestart(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.same) << c.a << " / " << c.b;
    // Letters outside A-Z keep their case.
    EXPECT_FALSE(samestart(QStringLiteral("é"), QStringLiteral("É")));
}

TEST(Texts, ReplaceallIgnoresCaseAndSkipsAnEmptyFind)
{
    QString text = QStringLiteral("Hello hello HELLO");
    replaceall(text, QStringLiteral("hello"), QStringLiteral("bye"));
    EXPECT_EQ(text, QStringLiteral("bye bye bye"));
    replaceall(text, QString(), QStringLiteral("x"));
    EXPECT_EQ(text, QStringLiteral("bye bye bye"));
    // The replacement is not searched again.
    EXPECT_EQ(replacedtext(QStringLiteral("aA"), QStringLiteral("a"), QStringLiteral("aa")), QStringLiteral("aaaa"));
    EXPECT_EQ(replacedtext(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
}

TEST(Texts, UnquoteNeedsAQuoteAtBothEnds)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"\"a\"", "a"}, {"\"", ""}, {"\"\"", ""}, {"\"a", "\"a"}, {"a\"", "a\""}, {"\"a\"\"b\"", "a\"\"b"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unquote(QString::fromLatin1(c.text)), QString::fromLatin1(c.expected)) << c.text;
}

TEST(Texts, ListitemGivesEmptyOutsideTheList)
{
    const QStringList list{QStringLiteral("a"), QStringLiteral("b")};
    EXPECT_EQ(listitem(list, 1), QStringLiteral("b"));
    EXPECT_EQ(listitem(list, 2), QString());
    EXPECT_EQ(listitem(list, -1), QString());
    EXPECT_EQ(listitem(nullptr, 0), QString());
    const std::vector<QString> items{QStringLiteral("x")};
    EXPECT_EQ(stringsitem(items, 0), QStringLiteral("x"));
    EXPECT_EQ(stringsitem(items, 1), QString());
}

TEST(Texts, WideAndByteForms)
{
    const QString text = QStringLiteral("A\u00E9\u20AC");
    EXPECT_EQ(widetobytes(text), QByteArray("A\xE9\x00\xAC", 4));
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString wide = bytestowide(all);
    ASSERT_EQ(wide.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(wide[b].unicode(), b);
    EXPECT_EQ(widetobytes(wide), all);
}
