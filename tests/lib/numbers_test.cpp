#include "lib/numbers.h"
#include "localescope.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vek;
using testsupport::LocaleScope;

TEST(Numbers, TwodigitsKeepsTheLastTwoDigitsOfLongerNumbers)
{
    const struct {
        int value;
        const char* expected;
    } cases[] = {
        {0, "00"},  {5, "05"},   {42, "42"},
        {99, "99"}, {100, "00"}, {2024, "24"},
        {-5, "-5"}, {-15, "15"}, {std::numeric_limits<int>::max(), "47"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(twodigits(c.value), QString::fromLatin1(c.expected)) << c.value;
}

TEST(Numbers, ZeropadTrimsThenPadsButNeverCuts)
{
    EXPECT_EQ(zeropad(QStringLiteral(" 7 "), 3), QStringLiteral("007"));
    EXPECT_EQ(zeropad(QStringLiteral("1234"), 2), QStringLiteral("1234"));
    EXPECT_EQ(zeropad(QString(), 2), QStringLiteral("00"));
}

// The check looks at the characters only, so it answers the same under
// either decimal separator.
TEST(Numbers, IsnumbertextAcceptsOneSeparatorOfEitherKindUnderBothLocales)
{
    const struct {
        const char* text;
        bool number;
        bool numeric;
    } cases[] = {
        {"", true, false},         {"  ", true, true},   {"12", true, true},    {" 12 ", true, true},
        {"1.5", true, true},       {"1,5", true, true},  {".", true, true},     {"+1", true, true},
        {"-1.5", true, true},      {"-", false, false},  {"+", false, false},   {"1.2.3", false, false},
        {"1,000.5", false, false}, {"1a", false, false}, {"1-2", false, false}, {"--1", false, false},
        {"1e5", false, false},
    };
    for (const QChar decimal : {QChar(u'.'), QChar(u',')}) {
        const LocaleScope locale(decimal);
        for (const auto& c : cases) {
            const QString text = QString::fromLatin1(c.text);
            EXPECT_EQ(isnumbertext(text), c.number) << '"' << c.text << "\" under " << char(decimal.unicode());
            EXPECT_EQ(isnumeric(text), c.numeric) << '"' << c.text << "\" under " << char(decimal.unicode());
        }
    }
}

TEST(Numbers, FixdecimalpointTurnsOnlyALoneForeignSeparator)
{
    const struct {
        QChar decimal;
        const char* text;
        const char* expected;
    } cases[] = {
        {u',', "2.50", "2,50"}, {u',', "2,50", "2,50"}, {u',', "1.2.3", "1,2.3"},     {u',', "1,234.5", "1,234.5"},
        {u'.', "2,50", "2.50"}, {u'.', "2.50", "2.50"}, {u'.', "1,234.5", "1,234.5"}, {u'.', "", ""},
    };
    for (const auto& c : cases) {
        const LocaleScope locale(c.decimal);
        EXPECT_EQ(fixdecimalpoint(QString::fromLatin1(c.text)), QString::fromLatin1(c.expected)) << c.text;
    }
}

TEST(Numbers, TexttofloatReadsEitherSeparatorAndGivesZeroForAnythingElse)
{
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"3.5", 3.5},   {"3,5", 3.5}, {" -0.25 ", -0.25}, {"2e3", 2000}, {"7", 7},    {"", 0},   {"abc", 0},
        {"1,234.5", 0}, {"inf", 0},   {"nan", 0},         {"1e999", 0},  {"0x10", 0}, {"1.", 1}, {"-", 0},
    };
    for (const QChar decimal : {QChar(u'.'), QChar(u',')}) {
        const LocaleScope locale(decimal);
        for (const auto& c : cases)
            EXPECT_DOUBLE_EQ(texttofloat(QString::fromLatin1(c.text)), c.expected)
                << c.text << " under " << char(decimal.unicode());
    }
}

TEST(Numbers, TexttointAndTexttoroundint)
{
    const LocaleScope locale(u'.');
    const struct {
        const char* text;
        int asInt;
        int rounded;
    } cases[] = {
        {" 42 ", 42, 42}, {"-7", -7, -7},        {"+3", 3, 3},   {"2.5", 0, 2},
        {"3.5", 0, 4},    {"-2.5", 0, -2},       {"2.51", 0, 3}, {"", 0, 0},
        {"x1", 0, 0},     {"99999999999", 0, 0}, {"1e20", 0, 0}, {"2147483647", 2147483647, 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(texttoint(QString::fromLatin1(c.text)), c.asInt) << c.text;
        EXPECT_EQ(texttoroundint(QString::fromLatin1(c.text)), c.rounded) << c.text;
    }
}

TEST(Numbers, FloattotextRoundsToDecimalsAndSignificantDigits)
{
    const struct {
        double value;
        int decimals;
        int significant;
        const char* expected;
    } cases[] = {
        {1234.5678, 2, 10, "1234.57"}, {0.005, 2, 10, "0.01"},   {-0.001, 2, 10, "0.00"}, {1.0 / 3, 4, 3, "0.3330"},
        {12345.678, 2, 5, "12346.00"}, {-9.999, 1, 10, "-10.0"}, {42, 0, 10, "42"},       {1e12, 2, 10, "1E12"},
        {-1.5e12, 2, 10, "-1.5E12"},
    };
    const LocaleScope locale(u'.');
    for (const auto& c : cases)
        EXPECT_EQ(floattotext(c.value, c.decimals, c.significant), QString::fromLatin1(c.expected)) << c.value;
    EXPECT_EQ(floattotext(std::numeric_limits<double>::quiet_NaN(), 2, 10), QString());
    EXPECT_EQ(floattotext(std::numeric_limits<double>::infinity(), 2, 10), QString());
}

TEST(Numbers, FloatTextsUseTheLocaleSeparatorAndColumnWidth)
{
    const LocaleScope locale(u',');
    EXPECT_EQ(floattotext(1234.5, 2, 10), QStringLiteral("1234,50"));
    EXPECT_EQ(floattotrimmed(3), QStringLiteral("3,00"));
    EXPECT_EQ(floattopadded(3), QStringLiteral("      3,00"));
    EXPECT_EQ(floattopadded(12345678.5), QStringLiteral("12345678,50"));
    // What is written reads back as the same value.
    EXPECT_DOUBLE_EQ(texttofloat(floattotrimmed(-12.25)), -12.25);
}

TEST(Numbers, TextsOfIntegersAndBooleans)
{
    EXPECT_EQ(inttotext(std::numeric_limits<int>::min()), QStringLiteral("-2147483648"));
    EXPECT_EQ(int64totext(std::numeric_limits<qint64>::max()), QStringLiteral("9223372036854775807"));
    EXPECT_EQ(booltotext(true), QStringLiteral("TRUE"));
    EXPECT_EQ(booltotext(false), QStringLiteral("FALSE"));
}
