#include "platform/controls/tlistview.h"

#include "platform/controls/tform.h"
#include "platform/controls/tlistmodel.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace platform {

TListItem::TListItem(const QString& caption, const QStringList& subItems)
{
    own_.caption = caption;
    own_.subItems = subItems;
}

TListItem::~TListItem()
{
    if (model_)
        model_->remove(row_);
}

const TListRow& TListItem::record() const
{
    return model_ ? model_->row(row_) : own_;
}

TListRow& TListItem::record()
{
    return model_ ? model_->editRow(row_) : own_;
}

void TListItem::changed()
{
    if (model_)
        model_->rowChanged(row_);
}

void TListItem::setCaption(const QString& caption)
{
    record().caption = caption;
    changed();
}

QString TListItem::subItem(int index) const
{
    const QStringList& items = record().subItems;
    return index >= 0 && index < items.size() ? items[index] : QString();
}

void TListItem::appendSubItem(const QString& text)
{
    record().subItems.append(text);
    changed();
}

void TListItem::setSubItem(int index, const QString& text)
{
    QStringList& items = record().subItems;
    if (index >= 0 && index < items.size()) {
        items[index] = text;
        changed();
    }
}

int TListItem::subItemLimit() const
{
    const int columns = model_ ? model_->columnCount() : 0;
    return std::max(columns - 1, 0) + kSubItemMargin;
}

QString TListItem::columnText(int column) const
{
    const QString* text = record().columnText(column);
    return text ? *text : QString();
}

void TListItem::setChecked(bool on)
{
    record().check = on ? CheckMark::Checked : CheckMark::Unchecked;
    changed();
}

void TListItem::setDisabledNote(const QString& note)
{
    record().disabledNote = note;
    if (!note.isEmpty() && record().check == CheckMark::Checked)
        record().check = CheckMark::Unchecked;
    if (!note.isEmpty())
        setSelected(false);
    changed();
}

bool TListItem::isSelected() const
{
    if (!model_ || !model_->selectionModel())
        return false;
    model_->publish();
    return model_->selectionModel()->isSelected(model_->index(row_, 0));
}

void TListItem::setSelected(bool on)
{
    if (!model_ || !model_->selectionModel())
        return;
    model_->publish();
    model_->selectionModel()->select(model_->index(row_, 0),
                                     (on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                         | QItemSelectionModel::Rows);
}

QString TListHeader::text(int column) const
{
    return model_->columnCaption(column);
}

void TListHeader::setText(int column, const QString& caption)
{
    (void)model_->setHeaderData(column, Qt::Horizontal, caption);  // a column that does not exist has no caption
}

TListView::TListView(QWidget* parent) : QTreeView(parent), model_(new TListModel(this)), header_(model_)
{
    setModel(model_);
    model_->setSelectionModel(selectionModel());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &TListView::columnClicked);
    connect(header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { keepExactWidth(column, width); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TListView::itemSelectionChanged);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit itemClicked(item(index.row()), index.column()); });
    registercomponent(this);
}

void TListView::addColumn(const QString& caption, int width)
{
    const int index = columnCount();
    setColumnCount(index + 1);
    header_.setText(index, caption);
    setColumnWidth(index, width);
}

void TListView::setColumnsFollowWidth(bool on)
{
    followWidth_ = on;
    exactWidths_.clear();
    for (int i = 0; i < columnCount(); ++i)
        exactWidths_.push_back(columnWidth(i));
}

void TListView::keepExactWidth(int column, int width)
{
    if (scalingColumns_ || column < 0)
        return;
    if (exactWidths_.size() <= size_t(column))
        exactWidths_.resize(size_t(column) + 1, 0.0);
    exactWidths_[size_t(column)] = width;
}

void TListView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    // The columns share the width inside the frame: scaled by the outer
    // width they would outgrow the view a little more at every step.
    const int frame = 2 * frameWidth();
    const int before = event->oldSize().width() - frame;
    const int after = event->size().width() - frame;
    if (!followWidth_ || before <= 0 || after <= 0 || before == after)
        return;
    const double ratio = double(after) / before;
    scalingColumns_ = true;
    for (int i = 0; i < columnCount(); ++i) {
        if (exactWidths_.size() <= size_t(i))
            exactWidths_.resize(size_t(i) + 1, 0.0);
        double& exact = exactWidths_[size_t(i)];
        if (exact == 0.0)
            exact = columnWidth(i);
        exact *= ratio;
        setColumnWidth(i, int(std::lround(exact)));
    }
    scalingColumns_ = false;
}

int TListView::columnCount() const
{
    return model_->columnCount();
}

void TListView::setColumnCount(int columns)
{
    model_->setColumnCount(columns);
}

int TListView::count() const
{
    return model_->count();
}

TListItem* TListView::item(int index) const
{
    return model_->handle(index);
}

int TListView::indexOf(const TListItem* row) const
{
    return row && row->model_ == model_ ? row->row_ : -1;
}

QString TListView::text(int row, int column) const
{
    const QString* text = cell(row, column);
    return text ? *text : QString();
}

const QString* TListView::cell(int row, int column) const
{
    return row >= 0 && row < count() ? model_->row(row).columnText(column) : nullptr;
}

TListItem* TListView::addItem(const QString& caption, const QStringList& subItems)
{
    appendRow(caption, subItems);
    return model_->handle(count() - 1);
}

void TListView::appendRow(QString caption, QStringList subItems)
{
    TListRow row;
    row.caption = std::move(caption);
    row.subItems = std::move(subItems);
    if (checkBoxes_)
        row.check = CheckMark::Unchecked;
    model_->append(std::move(row));
}

void TListView::addItems(const QList<TListItem*>& items)
{
    beginUpdate();
    for (TListItem* row : items) {
        if (!row || row->model_)
            continue;  // a row belongs to one view only
        if (checkBoxes_ && row->own_.check == CheckMark::None)
            row->own_.check = CheckMark::Unchecked;
        model_->adopt(row);
    }
    endUpdate();
}

void TListView::deleteItem(TListItem* row)
{
    delete row;
}

void TListView::clearItems()
{
    beginUpdate();
    model_->clear();
    endUpdate();
}

void TListView::beginUpdate()
{
    if (updateDepth_++ == 0) {
        setUpdatesEnabled(false);
        model_->holdInserts(true);
    }
}

void TListView::endUpdate()
{
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        model_->holdInserts(false);
        setUpdatesEnabled(true);
    }
}

void TListView::setCheckBoxes(bool on)
{
    checkBoxes_ = on;
    model_->setCheckMarks(on);
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
    model_->publish();
    // From the selection's ranges rather than by asking every row: a click
    // on a long list looks at what is highlighted, not at every row.
    std::vector<int> chosen;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        if (range.left() > 0)
            continue;  // a row counts as highlighted by its first column, as isSelected has it
        for (int r = range.top(); r <= range.bottom(); ++r)
            chosen.push_back(r);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    QList<TListItem*> out;
    out.reserve(static_cast<qsizetype>(chosen.size()));
    for (int r : chosen)
        out.append(model_->handle(r));
    return out;
}

QList<TListItem*> TListView::rows() const
{
    const int n = count();
    QList<TListItem*> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(model_->handle(i));
    return out;
}

QModelIndex TListView::indexFor(const TListItem* row, int column) const
{
    const int r = indexOf(row);
    if (r < 0)
        return {};
    model_->publish();
    return model_->index(r, column);
}

TListItem* TListView::currentItem() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? item(current.row()) : nullptr;
}

void TListView::setCurrentItem(TListItem* row)
{
    const QModelIndex index = indexFor(row);
    if (index.isValid())
        setCurrentIndex(index);
}

void TListView::setCurrentItem(TListItem* row, int column, QItemSelectionModel::SelectionFlags command)
{
    const QModelIndex index = indexFor(row, column);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, command);
}

void TListView::scrollToItem(const TListItem* row)
{
    const QModelIndex index = indexFor(row);
    if (index.isValid())
        scrollTo(index);
}

bool TListView::setRowOrder(const std::vector<int>& order)
{
    return model_->reorder(order);
}

}  // namespace platform
