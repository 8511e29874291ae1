// The list view over its flat row store: row objects that stay with their
// rows, reorders as one layout change, bulk appends, checks, selection and
// the column captions.
#include "platform/controls/tlistview.h"

#include <QAbstractItemModel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace {

using platform::TListItem;
using platform::TListView;

QStringList captions(const TListView& view)
{
    QStringList out;
    for (int i = 0; i < view.count(); ++i)
        out.append(view.text(i, 0));
    return out;
}

// A view of rows "r0".."r{n-1}" with one sub-item each, in two columns.
struct ListViewFixture : ::testing::Test {
    TListView view;
    void fill(int n)
    {
        view.addColumn(QStringLiteral("Name"), 100);
        view.addColumn(QStringLiteral("Value"), 60);
        for (int i = 0; i < n; ++i)
            view.appendRow(QStringLiteral("r%1").arg(i), {QString::number(i * 10)});
    }
};

TEST_F(ListViewFixture, RowObjectsSelectionAndCurrentRowFollowTheirRowsThroughAReorder)
{
    fill(5);
    view.setMultiSelect(true);
    TListItem* r1 = view.item(1);
    TListItem* r3 = view.item(3);
    r1->setSelected(true);
    r3->setSelected(true);
    view.setCurrentItem(view.item(4), 0, QItemSelectionModel::NoUpdate);
    QSignalSpy layouts(view.model(), &QAbstractItemModel::layoutChanged);

    ASSERT_TRUE(view.setRowOrder({4, 3, 2, 1, 0}));

    EXPECT_EQ(layouts.count(), 1) << "one layout change for the whole move";
    EXPECT_EQ(captions(view), (QStringList{"r4", "r3", "r2", "r1", "r0"}));
    EXPECT_EQ(view.indexOf(r1), 3);
    EXPECT_EQ(view.indexOf(r3), 1);
    EXPECT_EQ(r3->subItem(0), "30");
    EXPECT_EQ(view.item(3), r1) << "the same object, not a new one";
    EXPECT_EQ(view.selectedRows(), (QList<TListItem*>{r3, r1}));
    EXPECT_EQ(view.currentItem()->caption(), "r4");
    EXPECT_EQ(view.currentIndex().row(), 0);
}

TEST_F(ListViewFixture, AnOrderThatIsNotEveryRowOnceMovesNothing)
{
    fill(4);
    TListItem* r2 = view.item(2);
    const std::vector<std::vector<int>> bad = {{0, 1, 2}, {0, 1, 2, 3, 3}, {0, 1, 1, 3}, {0, 1, 2, 4}, {-1, 1, 2, 3}};
    for (const std::vector<int>& order : bad) {
        EXPECT_FALSE(view.setRowOrder(order)) << order.size();
        EXPECT_EQ(captions(view), (QStringList{"r0", "r1", "r2", "r3"}));
        EXPECT_EQ(view.indexOf(r2), 2);
    }
    EXPECT_EQ(view.count(), 4) << "no row dropped";
}

TEST_F(ListViewFixture, RowsAppendedInAnUpdateBracketAreThereAtOnceAndAnnouncedTogether)
{
    fill(0);
    QSignalSpy inserted(view.model(), &QAbstractItemModel::rowsInserted);
    view.beginUpdate();
    view.appendRow(QStringLiteral("a"), {QStringLiteral("1")});
    view.beginUpdate();  // brackets nest
    view.appendRow(QStringLiteral("b"));
    TListItem* c = view.addItem(QStringLiteral("c"), {QStringLiteral("3")});
    view.endUpdate();
    EXPECT_EQ(view.count(), 3);
    EXPECT_EQ(view.item(1)->caption(), "b");
    EXPECT_EQ(view.indexOf(c), 2);
    EXPECT_EQ(inserted.count(), 0) << "still held";
    view.endUpdate();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);
    EXPECT_EQ(view.model()->rowCount(), 3);
    EXPECT_EQ(view.model()->index(2, 1).data().toString(), "3");
    EXPECT_FALSE(view.model()->index(1, 1).data().isValid()) << "b has no sub-item";
}

TEST_F(ListViewFixture, AHeldRowCanBeSelectedBeforeTheBracketEnds)
{
    fill(2);
    view.beginUpdate();
    TListItem* added = view.addItem(QStringLiteral("new"));
    added->setSelected(true);
    EXPECT_TRUE(added->isSelected());
    view.endUpdate();
    EXPECT_EQ(view.selectedRows(), QList<TListItem*>{added});
    EXPECT_EQ(view.model()->rowCount(), 3);
}

TEST_F(ListViewFixture, DeletingARowKeepsTheOthersObjectsOnTheirRows)
{
    fill(4);
    TListItem* r0 = view.item(0);
    TListItem* r3 = view.item(3);
    view.deleteItem(view.item(1));
    EXPECT_EQ(captions(view), (QStringList{"r0", "r2", "r3"}));
    EXPECT_EQ(view.indexOf(r3), 2);
    EXPECT_EQ(r3->caption(), "r3");
    delete r0;  // as a row object always could: it leaves its view
    EXPECT_EQ(captions(view), (QStringList{"r2", "r3"}));
    EXPECT_EQ(view.model()->rowCount(), 2);
    view.clearItems();
    EXPECT_EQ(view.count(), 0);
    EXPECT_EQ(view.item(0), nullptr);
}

TEST_F(ListViewFixture, RowsMadeApartAreTakenOverWithTheirTextsAndTicks)
{
    fill(1);
    view.setCheckBoxes(true);
    auto* ticked = new TListItem(QStringLiteral("t"), {QStringLiteral("9")});
    ticked->setChecked(true);
    ticked->appendSubItem(QStringLiteral("x"));
    auto* plain = new TListItem(QStringLiteral("p"));
    EXPECT_FALSE(plain->isSelected()) << "a row in no view";
    view.addItems({ticked, plain});
    EXPECT_EQ(view.item(1), ticked);
    EXPECT_EQ(ticked->subItems(), (QStringList{"9", "x"}));
    EXPECT_TRUE(ticked->checked());
    EXPECT_EQ(view.model()->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked)
        << "a view with check boxes gives every row one";

    TListView other;
    other.addItems({ticked});  // a row belongs to one view only
    EXPECT_EQ(other.count(), 0);
    EXPECT_EQ(view.indexOf(ticked), 1);
}

TEST_F(ListViewFixture, CheckBoxesComeAndGoAndAClickOnOneTicksTheRow)
{
    fill(2);
    const QModelIndex first = view.model()->index(0, 0);
    EXPECT_FALSE(first.data(Qt::CheckStateRole).isValid()) << "no check box without check boxes";
    view.setCheckBoxes(true);
    EXPECT_EQ(first.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(view.model()->setData(first, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(view.item(0)->checked());
    EXPECT_FALSE(view.model()->setData(first, QStringLiteral("x"), Qt::EditRole)) << "texts are not editable";
    view.item(1)->setChecked(true);
    EXPECT_EQ(view.model()->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    view.setCheckBoxes(false);
    EXPECT_FALSE(view.item(0)->checked());
    EXPECT_FALSE(first.data(Qt::CheckStateRole).isValid());
}

TEST_F(ListViewFixture, SelectingARowLeavesTheOthersAndRowsComeBackInRowOrder)
{
    fill(6);
    view.setMultiSelect(true);
    view.item(4)->setSelected(true);
    view.item(1)->setSelected(true);
    view.item(5)->setSelected(true);
    view.item(5)->setSelected(false);
    EXPECT_EQ(view.selectedRows(), (QList<TListItem*>{view.item(1), view.item(4)}));
    EXPECT_TRUE(view.item(4)->isSelected());
    EXPECT_FALSE(view.item(5)->isSelected());
    view.clearSelection();
    EXPECT_TRUE(view.selectedRows().isEmpty());
}

TEST_F(ListViewFixture, ColumnCaptionsAndANewColumnsNumber)
{
    fill(1);
    EXPECT_EQ(view.columnCount(), 2);
    EXPECT_EQ(view.headerItem()->text(1), "Value");
    EXPECT_EQ(view.model()->headerData(0, Qt::Horizontal).toString(), "Name");
    view.headerItem()->setText(1, QStringLiteral("Wert"));
    EXPECT_EQ(view.model()->headerData(1, Qt::Horizontal).toString(), "Wert");
    view.setColumnCount(3);
    EXPECT_EQ(view.headerItem()->text(2), "3");
    EXPECT_EQ(view.columnWidth(0), 100);
    view.setColumnCount(1);
    EXPECT_EQ(view.columnCount(), 1);
    EXPECT_EQ(view.headerItem()->text(1), QString());
}

TEST_F(ListViewFixture, AClickOnARowNamesItsObjectAndMakesItCurrent)
{
    fill(3);
    view.resize(300, 200);
    view.show();
    QSignalSpy clicked(&view, &TListView::itemClicked);
    QSignalSpy selection(&view, &TListView::itemSelectionChanged);
    const QRect at = view.visualRect(view.model()->index(2, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at.center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].value<TListItem*>(), view.item(2));
    EXPECT_EQ(clicked[0][1].toInt(), 1);
    EXPECT_EQ(view.currentItem(), view.item(2));
    EXPECT_GE(selection.count(), 1);
    EXPECT_TRUE(view.item(2)->isSelected());
}

}  // namespace
