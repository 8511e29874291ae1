#include "lib/stamps.h"
#include "localescope.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vek;
using testsupport::LocaleScope;

namespace {

QString yymmdd(const QDate& d)
{
    return d.toString(QStringLiteral("yyMMdd"));
}

// Runs `stamp` and checks it against today's date, taken before and after so
// that a run across midnight still passes.
template <typename F> void expectToday(F stamp, QString (*expected)(const QDate&))
{
    const QString before = expected(QDate::currentDate());
    const QString got = stamp();
    const QString after = expected(QDate::currentDate());
    EXPECT_TRUE(got == before || got == after) << got.toStdString() << " vs " << before.toStdString();
}

}  // namespace

TEST(Stamps, DatestampOfNoDateStampsToday)
{
    for (const QDateTime& none :
         {QDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)), QDateTime(QDate(1899, 12, 29), QTime(0, 0))})
        expectToday([&] { return datestamp(none); }, yymmdd);
    expectToday([] { return todayddmmyy(); }, [](const QDate& d) { return d.toString(QStringLiteral("ddMMyy")); });
    expectToday([] { return todayday(); }, [](const QDate& d) { return d.toString(QStringLiteral("dd")); });
}

TEST(Stamps, DateStampsOfGivenDates)
{
    const QDateTime march(QDate(2024, 3, 5), QTime(7, 8, 9));
    EXPECT_EQ(datestamp(march), QStringLiteral("240305"));
    EXPECT_EQ(datetoyymmdd(march), QStringLiteral("240305"));
    EXPECT_EQ(datetimestamp(march), QStringLiteral("240305070809"));
    // Just after the no-date limit is a real date.
    EXPECT_EQ(datestamp(QDateTime(QDate(1899, 12, 30), QTime(6, 0))), QStringLiteral("991230"));
    // datestamp takes the year mod 100, datetoyymmdd the year - 2000.
    const QDate lastCentury(1999, 5, 6);
    EXPECT_EQ(datestamp(QDateTime(lastCentury, QTime(12, 0))), QStringLiteral("990506"));
    EXPECT_EQ(datetoyymmdd(lastCentury), QStringLiteral("-10506"));
}

TEST(Stamps, SwapdatestampSwapsOnlySixCharacterTexts)
{
    EXPECT_EQ(swapdatestamp(QStringLiteral("240305")), QStringLiteral("050324"));
    EXPECT_EQ(swapdatestamp(swapdatestamp(QStringLiteral("abcdef"))), QStringLiteral("abcdef"));
    for (const char* other : {"", "24030", "2403051"})
        EXPECT_EQ(swapdatestamp(QString::fromLatin1(other)), QString::fromLatin1(other));
}

TEST(Stamps, TimestampIsTheCurrentTimeInSixDigits)
{
    for (const bool utc : {true, false}) {
        const QDateTime now = utc ? utcnow() : QDateTime::currentDateTime();
        const QString stamp = timestamp(utc);
        ASSERT_TRUE(QRegularExpression(QStringLiteral("^\\d{6}$")).match(stamp).hasMatch()) << stamp.toStdString();
        const QTime read = QTime::fromString(stamp, QStringLiteral("HHmmss"));
        const int drift = qAbs(now.time().secsTo(read));
        EXPECT_TRUE(drift <= 2 || drift >= 86398) << stamp.toStdString() << " utc " << utc;
    }
    EXPECT_EQ(utcnow().timeSpec(), Qt::UTC);
}

TEST(Stamps, YymmddtodateReadsValidStampsAndFallsBackToNow)
{
    EXPECT_EQ(yymmddtodate(QStringLiteral("240229")), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(yymmddtodate(datetoyymmdd(QDate(2031, 12, 31))).date(), QDate(2031, 12, 31));
    for (const char* bad : {"", "230229", "241301", "24", "240100"}) {
        const QDateTime before = QDateTime::currentDateTime();
        const QDateTime got = yymmddtodate(QString::fromLatin1(bad));
        EXPECT_GE(got, before) << bad;
        EXPECT_LE(got, QDateTime::currentDateTime()) << bad;
    }
}

TEST(Stamps, TexttodatetimeReadsFixedPositionsAndRefusesImpossibleValues)
{
    EXPECT_EQ(texttodatetime(QStringLiteral("05/03/2024 07:08:09")), QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)));
    // Only the positions count, not the characters between the groups.
    EXPECT_EQ(texttodatetime(QStringLiteral("29-02-2024T23.59.59")), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)));
    for (const char* bad : {"31/02/2024 00:00:00", "05/03/2024 24:00:00", "05/03/2024 10:60:00", "00/00/0000 00:00:00",
                            "", "xx/03/2024 07:08:09"})
        EXPECT_FALSE(texttodatetime(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(Stamps, DatetextLeavesTheTimeOutAtMidnight)
{
    const LocaleScope dmy(u'.');
    EXPECT_EQ(datetext(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))), QStringLiteral("05/03/2024 07:08:09"));
    EXPECT_EQ(datetext(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), QStringLiteral("05/03/2024"));
    EXPECT_EQ(datetext(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1))), QStringLiteral("05/03/2024 00:00:01"));
    EXPECT_EQ(datetext(QDateTime()), QString());
    const LocaleScope iso(u'.', QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(datetext(QDateTime(QDate(2024, 3, 5), QTime(23, 0))), QStringLiteral("2024-03-05 23:00:00"));
}

// A listing writes numeric date formats by hand: the same texts as the
// toolkit's formatter, for every field width and separator it takes, and the
// formatter's own for any other format.
TEST(Stamps, DatetextWritesEveryDateFormatAsTheToolkitDoes)
{
    const QDate dates[]
        = {QDate(2024, 3, 5), QDate(1999, 12, 31), QDate(2000, 1, 1), QDate(999, 7, 8), QDate(10000, 1, 2)};
    for (const char* format : {"dd/MM/yyyy", "d.M.yyyy", "yyyy-MM-dd", "MM/dd/yyyy", "d. M. yyyy", "dd MMM yyyy",
                               "dddd d MMMM yyyy", "yy/M/d", "dd'x'MM yyyy", "yyyyMMdd", "d/M"}) {
        const LocaleScope scope(u'.', QString::fromLatin1(format));
        for (const QDate& date : dates)
            EXPECT_EQ(datetext(QDateTime(date, QTime(0, 0))), date.toString(QString::fromLatin1(format))) << format;
    }
}
