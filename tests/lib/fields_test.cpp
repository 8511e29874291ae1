#include "lib/fields.h"
#include "localescope.h"

#include <gtest/gtest.h>

using namespace vek;
using testsupport::LocaleScope;

namespace {

QStringList split(const QString& line, QChar delimiter)
{
    QStringList list{QStringLiteral("stale")};
    splitfields(line, list, delimiter);
    return list;
}

}  // namespace

TEST(Fields, SplitfieldsHonoursQuotesAndDropsOnlyATrailingEmptyField)
{
    const struct {
        QString line;
        QChar delimiter;
        QStringList fields;
    } cases[] = {
        {QStringLiteral("\"a,b\",c,"), u',', {QStringLiteral("a,b"), QStringLiteral("c")}},
        {QStringLiteral("a,,b"), u',', {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral(",a"), u',', {QString(), QStringLiteral("a")}},
        {QString(), u',', {}},
        {QStringLiteral(","), u',', {QString()}},
        {QStringLiteral("\"\",x"), u',', {QString(), QStringLiteral("x")}},
        {QStringLiteral("\"a\"\"b\",c"), u',', {QStringLiteral("a\"\"b"), QStringLiteral("c")}},
        {QStringLiteral("x\"y,z"), u',', {QStringLiteral("x\"y"), QStringLiteral("z")}},
        {QStringLiteral("1,5;\"a;b\";c"), u';', {QStringLiteral("1,5"), QStringLiteral("a;b"), QStringLiteral("c")}},
        {QStringLiteral("a b\t c\t"), u'\t', {QStringLiteral("a b"), QStringLiteral(" c")}},
        {QStringLiteral("\"open,ended"), u',', {QStringLiteral("\"open,ended")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split(c.line, c.delimiter), c.fields) << c.line.toStdString();
    splitfields(QStringLiteral("a,b"), nullptr, u',');  // no list: nothing to fill
}

TEST(Fields, JoinfieldsQuotesDelimitersAndKeepsAnEmptyFirstField)
{
    const struct {
        QStringList items;
        const char* line;
    } cases[] = {
        {{QString(), QStringLiteral("x")}, "\"\",x"},
        {{QStringLiteral("a,b"), QStringLiteral("c")}, "\"a,b\",c"},
        {{QStringLiteral("\"q,r\""), QStringLiteral("s")}, "\"q,r\",s"},
        {{QStringLiteral("a"), QString(), QString()}, "a,,"},
        {{QStringLiteral("say \"hi\"")}, "say \"hi\""},
        {{}, ""},
        {{QString()}, "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(joinfields(c.items, u','), QString::fromLatin1(c.line)) << c.line;

    // What joinfields writes, splitfields reads back (up to a trailing empty field).
    const QStringList items{QString(), QStringLiteral("a,b"), QStringLiteral("c;d"), QStringLiteral("e")};
    for (const QChar d : {QChar(u','), QChar(u';'), QChar(u'\t')})
        EXPECT_EQ(split(joinfields(items, d), d), items) << char(d.unicode());
}

TEST(Fields, JoinstringsDropsLeadingEmptyItemsAndAlwaysQuotes)
{
    EXPECT_EQ(joinstrings({QString(), QStringLiteral("x")}, u','), QStringLiteral("x"));
    EXPECT_EQ(joinstrings({QString(), QString(), QStringLiteral("x"), QString(), QStringLiteral("y")}, u','),
              QStringLiteral("x,,y"));
    EXPECT_EQ(joinstrings({QStringLiteral("\"q,r\"")}, u','), QStringLiteral("\"\"q,r\"\""));
    EXPECT_EQ(joinstrings({QStringLiteral("a;b"), QStringLiteral("c")}, u';'), QStringLiteral("\"a;b\";c"));
}

TEST(Fields, AppendfieldNeverLeavesTheLineEmpty)
{
    const QString nul(1, QChar(0));
    const struct {
        QString line;
        QString field;
        const char* expected;
    } cases[] = {
        {QString(), QString(), " "},
        {QString(), nul, " "},
        {QStringLiteral("a"), nul, "a,"},
        {QString(), QStringLiteral("x,y"), "\"x,y\""},
        {QStringLiteral("a"), QStringLiteral("b"), "a,b"},
        {QStringLiteral("a"), QStringLiteral("b,c"), "a,\"b,c\""},
        {QStringLiteral("a"), QString(), "a,"},
    };
    for (const auto& c : cases) {
        QString line = c.line;
        appendfield(line, c.field, u',');
        EXPECT_EQ(line, QString::fromLatin1(c.expected)) << c.expected;
    }
}

TEST(Fields, DetectdelimiterLooksAtTheFirstLineOnly)
{
    const LocaleScope locale(u'.');  // list separator ","
    const struct {
        QStringList lines;
        QChar start;
        QChar expected;
    } cases[] = {
        {{QStringLiteral("n;v")}, QChar(), u';'},
        {{QStringLiteral("n,v;w")}, QChar(), u','},
        {{QStringLiteral("a\tb")}, u';', u'\t'},
        {{QStringLiteral("a;b")}, u';', u';'},
        {{QStringLiteral("abc")}, QChar(), u','},
        {{QStringLiteral("abc;")}, u'\t', u'\t'},  // the last character is not scanned
        {{QStringLiteral(";abc")}, u'|', u';'},
        {{QStringLiteral("abc"), QStringLiteral("a;b")}, u'|', u','},
        {{}, u'|', u'|'},
    };
    for (const auto& c : cases) {
        QChar d = c.start;
        detectdelimiter(c.lines, d);
        EXPECT_EQ(d, c.expected) << c.lines.join(u'/').toStdString();
    }
    const LocaleScope comma(u',');  // list separator ";"
    QChar d;
    detectdelimiter({QStringLiteral("abc")}, d);
    EXPECT_EQ(d, QChar(u';'));
}
