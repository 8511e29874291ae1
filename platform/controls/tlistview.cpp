#include "platform/controls/tlistview.h"

#include "platform/controls/tform.h"

#include <QHeaderView>
#include <algorithm>

namespace platform {

TListItem::TListItem(const QString& caption, const QStringList& subItems)
{
    setText(0, caption);
    for (const QString& s : subItems)
        appendSubItem(s);
}

QString TListItem::subItem(int index) const
{
    return index >= 0 && index < subCount_ ? text(index + 1) : QString();
}

QStringList TListItem::subItems() const
{
    QStringList out;
    out.reserve(subCount_);
    for (int i = 0; i < subCount_; ++i)
        out.append(text(i + 1));
    return out;
}

void TListItem::appendSubItem(const QString& value)
{
    ++subCount_;
    setText(subCount_, value);
}

void TListItem::setSubItem(int index, const QString& value)
{
    if (index >= 0 && index < subCount_)
        setText(index + 1, value);
}

QString TListItem::columnText(int column) const
{
    return column == 0 ? caption() : subItem(column - 1);
}

void TListItem::setChecked(bool on)
{
    setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

bool TListItem::operator<(const QTreeWidgetItem& other) const
{
    // A list view holds list items only.
    const auto& row = static_cast<const TListItem&>(other);
    if (rank_ >= 0 && row.rank_ >= 0)
        return rank_ < row.rank_;
    return QTreeWidgetItem::operator<(other);
}

TListView::TListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(0);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &TListView::columnClicked);
    registercomponent(this);
}

void TListView::addColumn(const QString& caption, int width)
{
    const int index = columnCount();
    setColumnCount(index + 1);
    QTreeWidgetItem* head = headerItem();
    head->setText(index, caption);
    setColumnWidth(index, width);
}

TListItem* TListView::item(int index) const
{
    return static_cast<TListItem*>(topLevelItem(index));
}

int TListView::indexOf(const TListItem* row) const
{
    return indexOfTopLevelItem(const_cast<TListItem*>(row));
}

TListItem* TListView::addItem(const QString& caption, const QStringList& subItems)
{
    auto* row = new TListItem(caption, subItems);
    if (checkBoxes_)
        row->setChecked(false);
    addTopLevelItem(row);
    return row;
}

void TListView::addItems(const QList<TListItem*>& items)
{
    QList<QTreeWidgetItem*> plain;
    plain.reserve(items.size());
    for (TListItem* row : items) {
        if (checkBoxes_ && row->data(0, Qt::CheckStateRole).isNull())
            row->setChecked(false);
        plain.append(row);
    }
    addTopLevelItems(plain);
}

void TListView::deleteItem(TListItem* row)
{
    delete row;
}

void TListView::clearItems()
{
    beginUpdate();
    clear();
    endUpdate();
}

void TListView::beginUpdate()
{
    if (updateDepth_++ == 0)
        setUpdatesEnabled(false);
}

void TListView::endUpdate()
{
    if (updateDepth_ > 0 && --updateDepth_ == 0)
        setUpdatesEnabled(true);
}

void TListView::setCheckBoxes(bool on)
{
    checkBoxes_ = on;
    for (int i = 0; i < count(); ++i) {
        if (on)
            item(i)->setChecked(item(i)->checked());
        else
            item(i)->setData(0, Qt::CheckStateRole, QVariant());
    }
}

bool TListView::multiSelect() const
{
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void TListView::setMultiSelect(bool on)
{
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<TListItem*> TListView::selectedRows() const
{
    // In row order, not in the order the user picked them.
    QList<TListItem*> out;
    for (TListItem* row : rows()) {
        if (row->isSelected())
            out.append(row);
    }
    return out;
}

QList<TListItem*> TListView::rows() const
{
    // Straight from the root item: each call through the view looks its
    // model up again, which on a long list costs more than the walk itself.
    const QTreeWidgetItem* root = invisibleRootItem();
    const int n = root->childCount();
    QList<TListItem*> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(static_cast<TListItem*>(root->child(i)));
    return out;
}

void TListView::setRowOrder(const QList<TListItem*>& order)
{
    beginUpdate();
    if (columnCount() > 0 && order.size() == count()) {
        // The model's own sort moves every row in one layout change: the
        // selection and the current row follow their rows by themselves, and
        // no row leaves the view meanwhile (taking 100 000 rows out and
        // putting them back costs three times the instructions of this).
        qsizetype rank = 0;
        for (TListItem* row : order)
            row->rank_ = rank++;
        invisibleRootItem()->sortChildren(0, Qt::AscendingOrder);  // one level: rows have no children
        for (TListItem* row : order)
            row->rank_ = -1;
        endUpdate();
        return;
    }
    // Taking the rows out clears the selection: note it first.
    const QList<TListItem*> selected = selectedRows();
    QTreeWidgetItem* const current = currentItem();
    invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> back;
    back.reserve(order.size());
    for (TListItem* row : order)
        back.append(row);
    invisibleRootItem()->addChildren(back);
    if (current)
        setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (TListItem* row : selected)
        row->setSelected(true);
    endUpdate();
}

}  // namespace platform
