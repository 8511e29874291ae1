#pragma once
// The report-style list view: rows of a caption and sub-item texts, optional
// check boxes, multi-selection and column-header clicks. The rows live in one
// flat store (TListModel) shown by a tree view without branches.
#include "platform/controls/tlistrow.h"

#include <QItemSelectionModel>
#include <QStringList>
#include <QTreeView>
#include <vector>

namespace platform {

class TListModel;

// One row. Column 0 shows the caption, column n the sub-item n - 1. A row may
// hold fewer sub-items than the view has columns. A row made with `new` keeps
// its texts itself until a view takes it over (addItems); from then on the
// view owns it, keeps its texts in its store, and the object stays the same
// for as long as the row is in the view, wherever the row moves.
class TListItem {
public:
    explicit TListItem(const QString& caption = {}, const QStringList& subItems = {});
    // A row still in a view leaves it.
    ~TListItem();
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    QString caption() const { return record().caption; }
    void setCaption(const QString& caption);

    int subItemCount() const { return static_cast<int>(record().subItems.size()); }
    QString subItem(int index) const;
    QStringList subItems() const { return record().subItems; }
    void appendSubItem(const QString& text);
    // Replaces an existing sub-item; an index outside 0..count-1 changes nothing.
    void setSubItem(int index, const QString& text);
    // How many sub-items a row may be grown to by position: one for each
    // column of its view after the caption's, and kSubItemMargin more for
    // columns still to come (a row in no view has the margin alone). An index
    // far beyond it is a wrong value, not a column.
    int subItemLimit() const;
    static constexpr int kSubItemMargin = 64;
    // The caption for column 0, else the sub-item column - 1 (empty when missing).
    QString columnText(int column) const;

    bool checked() const { return record().check == CheckMark::Checked; }
    void setChecked(bool on);

    // Why the row cannot be chosen (TListRow::disabledNote); empty when it can.
    QString disabledNote() const { return record().disabledNote; }
    // Greys the row with `note` as its tooltip, or, with an empty note, makes
    // it a row that can be chosen again. A greyed row loses its tick.
    void setDisabledNote(const QString& note);

    // Highlighted in its view; a row in no view is never highlighted.
    bool isSelected() const;
    // Highlights the row (or takes the highlight off) without touching the others.
    void setSelected(bool on);

private:
    friend class TListModel;
    friend class TListView;
    const TListRow& record() const;
    TListRow& record();
    void changed();

    TListModel* model_ = nullptr;  // null while the row is in no view
    int row_ = -1;  // its place in the view
    TListRow own_;  // its texts while in no view
};

// The column captions of a list view.
class TListHeader {
public:
    explicit TListHeader(TListModel* model) : model_(model) {}
    // Empty for a column the view does not have.
    QString text(int column) const;
    // Captions an existing column; a column the view does not have is not made.
    void setText(int column, const QString& caption);

private:
    TListModel* model_;
};

class TListView : public QTreeView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TListView(QWidget* parent = nullptr);

    void addColumn(const QString& caption, int width);
    int columnCount() const;
    // With this on, the columns follow the view's width: made half as wide
    // again, every column is half as wide again. Widths set meanwhile (by
    // the user or the program) scale from there on. Each width is kept as a
    // fraction, so that no rounding builds up: back at a width it had, the
    // view shows the widths it had there. Off at the start.
    void setColumnsFollowWidth(bool on);
    bool columnsFollowWidth() const { return followWidth_; }
    // New columns are captioned by their number from 1.
    void setColumnCount(int columns);
    TListHeader* headerItem() { return &header_; }
    const TListHeader* headerItem() const { return &header_; }

    int count() const;
    // Null outside 0..count-1.
    TListItem* item(int index) const;
    // -1 for a row of another view or of none.
    int indexOf(const TListItem* item) const;
    // The text of column `column` of row `row` (empty when missing), read
    // without making the row's object.
    QString text(int row, int column) const;
    // The same in place, for code that reads many rows: null when the row
    // has no such column (the caption it always has). Valid until the row
    // or the view changes.
    const QString* cell(int row, int column) const;

    TListItem* addItem(const QString& caption, const QStringList& subItems = {});
    // Appends a row without making its object; inside beginUpdate/endUpdate
    // the rows are laid out together once. Texts handed over with std::move
    // are kept as they are, without a copy.
    void appendRow(QString caption, QStringList subItems = {});
    // Takes over rows that belong to no view and appends them in one layout pass.
    void addItems(const QList<TListItem*>& items);
    void deleteItem(TListItem* item);
    void clearItems();

    // Repaints are held between the two calls (they nest); rows appended
    // meanwhile are laid out once at the end.
    void beginUpdate();
    void endUpdate();

    bool checkBoxes() const { return checkBoxes_; }
    void setCheckBoxes(bool on);
    bool multiSelect() const;
    void setMultiSelect(bool on);

    // In row order, not in the order the user picked them.
    QList<TListItem*> selectedRows() const;
    QList<TListItem*> rows() const;

    // The row with the keyboard focus; null when there is none.
    TListItem* currentItem() const;
    // Makes the row current, selecting as a click would, or by `command`.
    void setCurrentItem(TListItem* item);
    void setCurrentItem(TListItem* item, int column, QItemSelectionModel::SelectionFlags command);
    void scrollToItem(const TListItem* item);

    // Puts row order[p] at place p in one layout change; highlighted rows stay
    // highlighted and row objects keep their rows. False, and nothing moved,
    // unless `order` holds each of 0..count-1 once.
    [[nodiscard]] bool setRowOrder(const std::vector<int>& order);

signals:
    void columnClicked(int column);
    void itemClicked(platform::TListItem* item, int column);
    void itemSelectionChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QModelIndex indexFor(const TListItem* item, int column = 0) const;
    void keepExactWidth(int column, int width);

    TListModel* model_;
    bool followWidth_ = false;
    bool scalingColumns_ = false;
    std::vector<double> exactWidths_;
    TListHeader header_;
    bool checkBoxes_ = false;
    int updateDepth_ = 0;
};

}  // namespace platform
