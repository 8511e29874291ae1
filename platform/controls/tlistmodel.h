#pragma once
// The rows of a list view in one contiguous store, in the order they are
// shown, as a flat item model. Rows are plain records: nothing is allocated a
// row beyond its texts, and a reorder moves records, not objects.
#include "platform/controls/tlistrow.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <vector>

class QItemSelectionModel;

namespace platform {

class TListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TListModel(QObject* parent = nullptr);
    // Frees the row objects still handed out.
    ~TListModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    // Every row in the store, also those appended while inserts are held.
    int count() const { return static_cast<int>(rows_.size()); }
    const TListRow& row(int r) const { return rows_[r]; }
    // For a change of the row's texts or mark; rowChanged tells the views.
    TListRow& editRow(int r) { return rows_[r]; }
    // The row's object, made on first request; null outside 0..count-1.
    TListItem* handle(int r);

    // Column captions. New columns are captioned by their number from 1.
    void setColumnCount(int columns);
    QString columnCaption(int column) const { return captions_.value(column); }

    // While held, appended rows are stored at once but announced together
    // when the hold ends (or when something needs a row's index first).
    void holdInserts(bool on);
    // Announces the rows appended while held.
    void publish();
    void append(TListRow&& row);
    // Takes over a row object that belongs to no view; its texts move into the store.
    void adopt(TListItem* item);
    // Removes a row; its object, if any, is left to the caller.
    void remove(int r);
    // Removes every row and frees every row object.
    void clear();

    // Tells the views that row `r` shows other texts or another mark.
    void rowChanged(int r);
    // Gives every row a mark (keeping the ticks) or takes every mark away.
    void setCheckMarks(bool on);

    // Puts row order[p] at place p, in one layout change: row objects,
    // selection and current row follow their rows. False, and nothing moved,
    // unless `order` holds each of 0..count-1 once.
    [[nodiscard]] bool reorder(const std::vector<int>& order);

    // The selection that row objects report and change.
    void setSelectionModel(QItemSelectionModel* selection) { selection_ = selection; }
    QItemSelectionModel* selectionModel() const { return selection_; }

private:
    QList<TListRow> rows_;
    int shown_ = 0;  // rows announced to the views
    bool holding_ = false;
    QStringList captions_;
    QItemSelectionModel* selection_ = nullptr;
};

}  // namespace platform
