#include "lib/listviews.h"
#include "platform/libformat.h"

#include <gtest/gtest.h>

using namespace vek;

namespace {

// A view with one column of captions and a second column of sub-items.
class ListViewSort : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = platform::libformat();
        platform::LocaleFormat f;
        f.dateSeparator = u'/';
        f.shortDateFormat = QStringLiteral("dd/MM/yyyy");
        platform::setLibformat(f);
        view.addColumn("Name", 100);
        view.addColumn("Value", 100);
    }
    void TearDown() override { platform::setLibformat(saved); }

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

    platform::LocaleFormat saved;
    TListView view;
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
    EXPECT_EQ(column(1), (QStringList{"01/12/2023", "28/02/2024 23:59:59", "05/09/2024 09:00:00",
                                      "05/09/2024 14:03:22", "01/01/2025"}));
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

TEST(ListViewServices, ComparedatesOrdersEmptyFirstAndUnreadableAsEqual)
{
    platform::LocaleFormat f;
    const platform::LocaleFormat saved = platform::libformat();
    platform::setLibformat(f);
    EXPECT_EQ(comparedates("x", "x"), 0);
    EXPECT_EQ(comparedates("", "01/01/2024"), -1);
    EXPECT_EQ(comparedates("01/01/2024", ""), 1);
    EXPECT_EQ(comparedates("02/01/2024", "01/02/2024"), -1);
    EXPECT_EQ(comparedates("01/02/2024 10:00:00", "01/02/2024 09:59:59"), 1);
    EXPECT_EQ(comparedates("nonsense", "01/02/2024"), 0);
    platform::setLibformat(saved);
}
