#pragma once
// The report-style list view: rows of a caption and sub-item texts, optional
// check boxes, multi-selection and column-header clicks.
#include <QStringList>
#include <QTreeWidget>

namespace platform {

class TListView;

// One row. Column 0 shows the caption, column n the sub-item n - 1. A row may
// hold fewer sub-items than the view has columns.
class TListItem : public QTreeWidgetItem {
public:
    explicit TListItem(const QString& caption = {}, const QStringList& subItems = {});

    QString caption() const { return text(0); }
    void setCaption(const QString& caption) { setText(0, caption); }

    int subItemCount() const { return subCount_; }
    QString subItem(int index) const;
    QStringList subItems() const;
    void appendSubItem(const QString& text);
    // Replaces an existing sub-item; an index outside 0..count-1 changes nothing.
    void setSubItem(int index, const QString& text);
    // The caption for column 0, else the sub-item column - 1 (empty when missing).
    QString columnText(int column) const;

    bool checked() const { return checkState(0) == Qt::Checked; }
    void setChecked(bool on);

    // While TListView::setRowOrder runs, rows compare by the place it gives
    // them; otherwise as any tree-widget item.
    bool operator<(const QTreeWidgetItem& other) const override;

private:
    friend class TListView;
    int subCount_ = 0;
    qsizetype rank_ = -1;
};

class TListView : public QTreeWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TListView(QWidget* parent = nullptr);

    void addColumn(const QString& caption, int width);

    int count() const { return topLevelItemCount(); }
    TListItem* item(int index) const;
    int indexOf(const TListItem* item) const;
    TListItem* addItem(const QString& caption, const QStringList& subItems = {});
    // Appends many rows with one layout pass.
    void addItems(const QList<TListItem*>& items);
    void deleteItem(TListItem* item);
    void clearItems();

    // Repaints are held between the two calls (they nest).
    void beginUpdate();
    void endUpdate();

    bool checkBoxes() const { return checkBoxes_; }
    void setCheckBoxes(bool on);
    bool multiSelect() const;
    void setMultiSelect(bool on);

    QList<TListItem*> selectedRows() const;
    QList<TListItem*> rows() const;

    // Puts the rows in the given order; `order` holds every row of the view once.
    // Highlighted rows stay highlighted.
    void setRowOrder(const QList<TListItem*>& order);

signals:
    void columnClicked(int column);

private:
    bool checkBoxes_ = false;
    int updateDepth_ = 0;
};

}  // namespace platform
