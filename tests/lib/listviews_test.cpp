#include "lib/listviews.h"
#include "localescope.h"
#include "platform/libformat.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QProcess>
#include <gtest/gtest.h>
#include <utility>

using namespace vek;
using platform::TListItem;
using platform::TListView;

namespace {

// A view with one column of captions and a second column of sub-items.
class ListViewSort : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.addColumn("Name", 100);
        view.addColumn("Value", 100);
    }
    static platform::LocaleFormat dayMonthYear()
    {
        platform::LocaleFormat f;
        f.dateSeparator = u'/';
        f.shortDateFormat = QStringLiteral("dd/MM/yyyy");
        return f;
    }

    void fill(const QStringList& values)
    {
        view.clearItems();
        int i = 0;
        for (const QString& v : values)
            view.addItem(QStringLiteral("row%1").arg(i++), {v});
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int i = 0; i < view.count(); ++i)
            out.append(view.item(i)->columnText(c));
        return out;
    }
    // Sorts ascending by the value column, whatever the flag was.
    void sortAscending(int c = 1)
    {
        bool descending = true;
        sortlistview(&view, c, descending);
        EXPECT_FALSE(descending);
    }

    TListView view;
    testsupport::LocaleScope snapshot{dayMonthYear()};
};

}  // namespace

TEST_F(ListViewSort, DecidesTheColumnKindFromRowsTwoToTheOneBeforeLast)
{
    const struct {
        QStringList values;
        QStringList ascending;
    } cases[] = {
        // Three rows or fewer are always text.
        {{"10", "9", "100"}, {"10", "100", "9"}},
        {{"10", "9", "100", "2.5", "-1"}, {"-1", "2.5", "9", "10", "100"}},
        // A word in rows 2 to the one before last makes it text ...
        {{"10", "9", "x", "2", "1"}, {"1", "10", "2", "9", "x"}},
        // ... but not in row 0, row 1 or the last row (they read as 0).
        {{"x", "9", "100", "2", "y"}, {"x", "y", "2", "9", "100"}},
        {{"1", "", "", "3", "2"}, {"", "", "1", "2", "3"}},
    };
    for (const auto& c : cases) {
        fill(c.values);
        sortAscending();
        EXPECT_EQ(column(1), c.ascending) << c.values.join(u' ').toStdString();
    }
}

TEST_F(ListViewSort, SortsDatesByDateAndTime)
{
    fill({"05/09/2024 14:03:22", "01/12/2023", "05/09/2024 09:00:00", "28/02/2024 23:59:59", "01/01/2025"});
    sortAscending();
    EXPECT_EQ(
        column(1),
        (QStringList{"01/12/2023", "28/02/2024 23:59:59", "05/09/2024 09:00:00", "05/09/2024 14:03:22", "01/01/2025"}));
}

TEST_F(ListViewSort, FirstClickDescendsAndEveryClickOnAnyColumnFlips)
{
    fill({"b", "a", "c", "d"});
    bool flag = false;
    sortlistview(&view, 1, flag);
    EXPECT_TRUE(flag);
    EXPECT_EQ(column(1), (QStringList{"d", "c", "b", "a"}));
    sortlistview(&view, 0, flag);  // another column continues the alternation
    EXPECT_FALSE(flag);
    EXPECT_EQ(column(0), (QStringList{"row0", "row1", "row2", "row3"}));
    sortlistview(&view, 0, flag);
    EXPECT_EQ(column(0), (QStringList{"row3", "row2", "row1", "row0"}));
}

TEST_F(ListViewSort, RowsWithoutTheSubItemSortFirstAndRowsKeepTheirSelection)
{
    view.addItem("a", {"2"});
    view.addItem("b");
    view.addItem("c", {"1"});
    view.addItem("d", {"3"});
    view.setMultiSelect(true);
    view.item(0)->setSelected(true);
    sortAscending();
    EXPECT_EQ(column(0), (QStringList{"b", "c", "a", "d"}));
    EXPECT_EQ(view.selectedRows(), QList<TListItem*>{view.item(2)});
}

TEST(ListViewServices, SubItemsByPosition)
{
    TListView view;
    TListItem* row = view.addItem("cap", {"one"});
    EXPECT_EQ(getsubitem(nullptr, 0), "");
    EXPECT_EQ(getsubitem(row, 5), "");
    EXPECT_EQ(getsubitem(row, -1), "");
    setsubitem(row, 3, "four");
    EXPECT_EQ(row->subItems(), (QStringList{"one", "", "", "four"}));
    setsubitem(row, -1, "nothing");
    EXPECT_EQ(row->subItemCount(), 4);
    clearlistview(&view);
    EXPECT_EQ(view.count(), 0);
    clearlistview(&view);
}

// An index far beyond the columns is a wrong value: the row does not grow to
// it (INT_MAX once grew it until the process was killed).
TEST(ListViewServices, AnIndexFarBeyondTheColumnsChangesNothing)
{
    TListView view;
    view.addColumn("Name", 80);
    view.addColumn("Size", 40);
    view.addColumn("Date", 60);
    TListItem* row = view.addItem("cap", {"one"});
    const int limit = row->subItemLimit();
    EXPECT_EQ(limit, 2 + TListItem::kSubItemMargin);
    setsubitem(row, 100000, "far");
    ASSERT_EQ(row->subItemCount(), 1) << "grown to a wrong index";
    setsubitem(row, 2147483647, "farthest");
    EXPECT_EQ(row->subItemCount(), 1);
    // Up to the margin past the last column the row still grows.
    setsubitem(row, limit - 1, "last");
    EXPECT_EQ(row->subItemCount(), limit);
    EXPECT_EQ(row->subItem(limit - 1), "last");
    setsubitem(row, limit, "beyond");
    EXPECT_EQ(row->subItemCount(), limit);
}

TEST(ListViewServices, ComparedatesOrdersEmptyFirstAndUnreadableAsEqual)
{
    const testsupport::LocaleScope snapshot{platform::LocaleFormat{}};
    EXPECT_EQ(comparedates("x", "x"), 0);
    EXPECT_EQ(comparedates("", "01/01/2024"), -1);
    EXPECT_EQ(comparedates("01/01/2024", ""), 1);
    EXPECT_EQ(comparedates("02/01/2024", "01/02/2024"), -1);
    EXPECT_EQ(comparedates("01/02/2024 10:00:00", "01/02/2024 09:59:59"), 1);
    EXPECT_EQ(comparedates("nonsense", "01/02/2024"), 0);
}

// Dates written without a year, or with two digits of it, read as the
// locale's short date reading takes them: the current year, and the century
// window 1950-2049.
TEST(ListViewServices, ComparedatesReadsShortAndMissingYears)
{
    const testsupport::LocaleScope snapshot{platform::LocaleFormat{}};
    const QString year = QString::number(QDate::currentDate().year());
    const struct {
        QString a, b;
        int result;
    } cases[] = {
        {"05/09", "05/09/" + year + " 00:00:01", -1},
        {"05/09", "04/09/" + year + " 23:59:59", 1},
        {"05/09 10:00:00", "05/09/" + year + " 09:59:59", 1},
        {"05/09 10:00", "05/09 09:59:59", 1},
        {"28/02", "01/03", -1},
        {"01/01/24", "01/01/2024 00:00:01", -1},
        {"31/12/23", "01/01/2024", -1},
        {"01/01/49", "31/12/50", 1},
        {"31/12/2049", "01/01/50", 1},
        {"01/01/50", "31/12/1949", 1},
        {"5/9/24", "04/09/2024", 1},
        {"32/01", "01/01/2024", 0},
        {"05/13/24", "01/01/2024", 0},
        {"05/09/024", "01/01/2024", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(comparedates(c.a, c.b), c.result) << c.a.toStdString() << " vs " << c.b.toStdString();
        EXPECT_EQ(comparedates(c.b, c.a), -c.result) << c.b.toStdString() << " vs " << c.a.toStdString();
    }
}

TEST_F(ListViewSort, SortsDatesWithTwoDigitYearsOrNone)
{
    fill({"05/09/24 14:03:22", "01/12/23", "05/09/24", "28/02/99", "01/01/25"});
    sortAscending();
    EXPECT_EQ(column(1), (QStringList{"28/02/99", "01/12/23", "05/09/24", "05/09/24 14:03:22", "01/01/25"}));
    fill({"05/09", "01/12 08:00", "28/02", "01/12", "01/01"});
    sortAscending();
    EXPECT_EQ(column(1), (QStringList{"01/01", "28/02", "05/09", "01/12", "01/12 08:00"}));
}

// Under a locale with no collation of its own (the C and POSIX locales, and
// C.UTF-8) texts sort by the root collation, not by character codes.
TEST(ListViewCollation, LocalesWithoutCollationSortByTheRootOrder)
{
    for (const QLocale& locale : {QLocale::c(), QLocale(QStringLiteral("C.UTF-8")), QLocale(QStringLiteral("POSIX")),
                                  QLocale(QLocale::English, QLocale::UnitedKingdom)}) {
        const testsupport::LocaleScope snapshot(platform::localeFormatOf(locale));
        TListView view;
        view.addColumn("Name", 100);
        for (const char* caption : {"b", "a", "B", "\u00E9", "A", "c", "e", "E", "f"})
            view.addItem(QString::fromUtf8(caption));
        bool descending = true;
        sortlistview(&view, 0, descending);
        QStringList order;
        for (int i = 0; i < view.count(); ++i)
            order.append(view.item(i)->caption());
        EXPECT_EQ(order, (QStringList{"a", "A", "b", "B", "c", "e", "E", QStringLiteral("\u00E9"), "f"}))
            << locale.name().toStdString();
    }
}

// The same taken from the process's own locale, in a test program started
// under each of the locales without collation.
TEST(ListViewCollation, TheProcessLocaleSnapshotSortsByTheRootOrderUnderCAndCUtf8)
{
    if (qEnvironmentVariableIsSet("TESSARINE_COLLATION_CHILD"))
        GTEST_SKIP() << "already the child";
    for (const auto& [name, value] : {std::pair{"LC_ALL", "C"}, std::pair{"LC_ALL", "C.UTF-8"},
                                      std::pair{"LANG", "C.UTF-8"}, std::pair{"LC_ALL", "POSIX"}}) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_COLLATE"));
        env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        env.insert(QStringLiteral("TESSARINE_COLLATION_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=ListViewCollation.SystemSnapshotSortsByTheRootOrder")});
        ASSERT_TRUE(child.waitForFinished(-1));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << name << '=' << value << '\n' << child.readAll().toStdString();
    }
}

// Run by the test above in a child under each locale; the machine's own
// locale may have a collation that orders otherwise, so not run on its own.
TEST(ListViewCollation, SystemSnapshotSortsByTheRootOrder)
{
    if (!qEnvironmentVariableIsSet("TESSARINE_COLLATION_CHILD"))
        GTEST_SKIP() << "run by TheProcessLocaleSnapshotSortsByTheRootOrderUnderCAndCUtf8";
    const testsupport::LocaleScope snapshot(platform::systemLocaleFormat());
    TListView view;
    view.addColumn("Name", 100);
    for (const char* caption : {"b", "a", "B", "A", "c"})
        view.addItem(QString::fromLatin1(caption));
    bool descending = true;
    sortlistview(&view, 0, descending);
    QStringList order;
    for (int i = 0; i < view.count(); ++i)
        order.append(view.item(i)->caption());
    EXPECT_EQ(order, (QStringList{"a", "A", "b", "B", "c"})) << QLocale::system().name().toStdString();
}
