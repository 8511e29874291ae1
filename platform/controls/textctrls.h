#pragma once
// The other controls and components: pages, trees, grids, progress, dates,
// timers, menus, pictures, button groups and rich text. Thin by intent: the
// family's names over the Qt class that does the work.
#include <QDateTimeEdit>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace platform {

class TTabSheet;

class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TPageControl(QWidget* parent = nullptr);
    int pageCount() const { return count(); }
    TTabSheet* page(int index) const;
    int activePageIndex() const { return currentIndex(); }
    void setActivePageIndex(int index) { setCurrentIndex(index); }
};

// A page; made with a page control as its parent it becomes that control's
// last page.
class TTabSheet : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    Q_INVOKABLE explicit TTabSheet(QWidget* parent = nullptr);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    TPageControl* pageControl() const { return pageControl_; }

private:
    TPageControl* pageControl_ = nullptr;
    QString caption_;
};

class TTreeView : public QTreeWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTreeView(QWidget* parent = nullptr);
};

class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TStringGrid(QWidget* parent = nullptr);
    QString cell(int column, int row) const;
    // Grows the grid when the cell lies outside it.
    void setCell(int column, int row, const QString& text);
};

class TProgressBar : public QProgressBar {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TProgressBar(QWidget* parent = nullptr);
    int position() const { return value(); }
    void setPosition(int position) { setValue(position); }
    int step() const { return step_; }
    void setStep(int step) { step_ = step; }
    // Advances by the step, staying within the range.
    void stepIt();

private:
    int step_ = 10;
};

// A date picker with a drop-down calendar, showing the locale's short date.
class TDateTimePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TDateTimePicker(QWidget* parent = nullptr);
};

// A timer that is off until enabled; every interval it emits timeout().
class TTimer : public QTimer {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTimer(QObject* parent = nullptr);
    bool enabled() const { return isActive(); }
    void setEnabled(bool on);
};

class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TPopupMenu(QWidget* parent = nullptr);
};

class TImage : public QLabel {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TImage(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture) { setPixmap(picture); }
};

// A panel of buttons in a column, one per caption.
class TButtonGroup : public QFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TButtonGroup(QWidget* parent = nullptr);
    void setItems(const QStringList& captions);
    int count() const { return static_cast<int>(buttons_.size()); }

signals:
    void buttonClicked(int index);

private:
    QList<QWidget*> buttons_;
};

class TRichEdit : public QTextEdit {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TRichEdit(QWidget* parent = nullptr);
};

}  // namespace platform
