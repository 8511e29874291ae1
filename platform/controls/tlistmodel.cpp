#include "platform/controls/tlistmodel.h"

#include "platform/controls/tlistview.h"

#include <QItemSelectionModel>
#include <algorithm>

namespace platform {

TListModel::TListModel(QObject* parent) : QAbstractItemModel(parent)
{
}

TListModel::~TListModel()
{
    for (TListRow& row : rows_) {
        if (row.handle) {
            row.handle->model_ = nullptr;
            delete row.handle;
        }
    }
}

QModelIndex TListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= shown_ || column < 0 || column >= captions_.size())
        return {};
    return createIndex(row, column);
}

QModelIndex TListModel::parent(const QModelIndex&) const
{
    return {};
}

QModelIndex TListModel::sibling(int row, int column, const QModelIndex&) const
{
    return index(row, column);
}

int TListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

int TListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

bool TListModel::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && shown_ > 0;
}

QVariant TListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_)
        return {};
    const TListRow& r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (const QString* text = r.columnText(index.column()))
            return *text;
        return {};
    case Qt::CheckStateRole:
        if (index.column() != 0 || r.check == CheckMark::None)
            return {};
        return r.check == CheckMark::Checked ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        if (r.disabledNote.isEmpty())
            return {};
        return r.disabledNote;
    default:
        return {};
    }
}

bool TListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // Only the check box is the user's to change.
    if (!index.isValid() || index.row() >= shown_ || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    rows_[index.row()].check = value.toInt() == Qt::Checked ? CheckMark::Checked : CheckMark::Unchecked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // A row that cannot be chosen is drawn greyed by the view's own style.
    if (index.row() < shown_ && !row(index.row()).disabledNote.isEmpty())
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

QVariant TListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= captions_.size()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return captions_[section];
}

bool TListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= captions_.size()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    captions_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

TListItem* TListModel::handle(int r)
{
    if (r < 0 || r >= count())
        return nullptr;
    TListRow& row = rows_[r];
    if (!row.handle) {
        row.handle = new TListItem;
        row.handle->model_ = this;
        row.handle->row_ = r;
    }
    return row.handle;
}

void TListModel::setColumnCount(int columns)
{
    const int old = static_cast<int>(captions_.size());
    columns = std::max(columns, 0);
    if (columns > old) {
        beginInsertColumns({}, old, columns - 1);
        for (int c = old; c < columns; ++c)
            captions_.append(QString::number(c + 1));
        endInsertColumns();
    } else if (columns < old) {
        beginRemoveColumns({}, columns, old - 1);
        captions_.resize(columns);
        endRemoveColumns();
    }
}

void TListModel::holdInserts(bool on)
{
    holding_ = on;
    if (!on)
        publish();
}

void TListModel::publish()
{
    if (shown_ == count())
        return;
    // The rows are in the store already; the views learn of them only now,
    // so they are counted in only between the two calls.
    beginInsertRows({}, shown_, count() - 1);
    shown_ = count();
    endInsertRows();
}

void TListModel::append(TListRow&& row)
{
    rows_.push_back(std::move(row));
    if (rows_.back().handle)
        rows_.back().handle->row_ = count() - 1;
    if (!holding_)
        publish();
}

void TListModel::adopt(TListItem* item)
{
    TListRow row = std::move(item->own_);
    item->own_ = TListRow{};
    row.handle = item;
    item->model_ = this;
    append(std::move(row));
}

void TListModel::remove(int r)
{
    if (r < 0 || r >= count())
        return;
    publish();
    beginRemoveRows({}, r, r);
    rows_.remove(r);
    --shown_;
    for (int i = r; i < count(); ++i) {
        if (rows_[i].handle)
            rows_[i].handle->row_ = i;
    }
    endRemoveRows();
}

void TListModel::clear()
{
    beginResetModel();
    QList<TListRow> gone;
    gone.swap(rows_);
    shown_ = 0;
    for (TListRow& row : gone) {
        if (row.handle) {
            row.handle->model_ = nullptr;
            delete row.handle;
        }
    }
    endResetModel();
}

void TListModel::rowChanged(int r)
{
    if (r < shown_ && !captions_.isEmpty())
        emit dataChanged(createIndex(r, 0), createIndex(r, static_cast<int>(captions_.size()) - 1));
}

void TListModel::setCheckMarks(bool on)
{
    for (TListRow& row : rows_) {
        if (!on)
            row.check = CheckMark::None;
        else if (row.check == CheckMark::None)
            row.check = CheckMark::Unchecked;
    }
    if (shown_ > 0 && !captions_.isEmpty())
        emit dataChanged(createIndex(0, 0), createIndex(shown_ - 1, 0), {Qt::CheckStateRole});
}

bool TListModel::reorder(const std::vector<int>& order)
{
    const size_t n = rows_.size();
    if (order.size() != n)
        return false;
    // newPlace doubles as the check that every row is named exactly once.
    std::vector<int> newPlace(n, -1);
    for (size_t p = 0; p < n; ++p) {
        const int from = order[p];
        if (from < 0 || static_cast<size_t>(from) >= n || newPlace[static_cast<size_t>(from)] >= 0)
            return false;
        newPlace[static_cast<size_t>(from)] = static_cast<int>(p);
    }
    publish();
    // One layout change for the whole move: the views lay the rows out once,
    // and what they hold by persistent index (current row, selection) is
    // moved along below.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<TListRow> moved;
    moved.reserve(static_cast<qsizetype>(n));
    TListRow* const from = rows_.data();
    for (size_t p = 0; p < n; ++p) {
        // The records are gathered from all over the store: ask for the
        // ones a few places on while this one moves.
        if (p + 8 < n)
            __builtin_prefetch(from + order[p + 8]);
        moved.push_back(std::move(from[order[p]]));
        if (moved.back().handle)
            moved.back().handle->row_ = static_cast<int>(p);
    }
    rows_.swap(moved);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(createIndex(newPlace[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

}  // namespace platform
