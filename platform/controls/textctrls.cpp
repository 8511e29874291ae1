#include "platform/controls/textctrls.h"

#include "platform/controls/tform.h"
#include "platform/controls/tstdctrls.h"

#include <QLocale>

namespace platform {

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent)
{
    registercomponent(this);
}

TTabSheet* TPageControl::page(int index) const
{
    return qobject_cast<TTabSheet*>(widget(index));
}

TTabSheet::TTabSheet(QWidget* parent) : QWidget(parent), pageControl_(qobject_cast<TPageControl*>(parent))
{
    if (pageControl_)
        pageControl_->addTab(this, QString());
    registercomponent(this);
}

void TTabSheet::setCaption(const QString& caption)
{
    caption_ = caption;
    if (pageControl_)
        pageControl_->setTabText(pageControl_->indexOf(this), caption);
}

TTreeView::TTreeView(QWidget* parent) : QTreeWidget(parent)
{
    registercomponent(this);
}

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(parent)
{
    registercomponent(this);
}

QString TStringGrid::cell(int column, int row) const
{
    const QTableWidgetItem* cellItem = item(row, column);
    return cellItem ? cellItem->text() : QString();
}

void TStringGrid::setCell(int column, int row, const QString& text)
{
    if (column < 0 || row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    if (column >= columnCount())
        setColumnCount(column + 1);
    if (QTableWidgetItem* cellItem = item(row, column))
        cellItem->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
}

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
    registercomponent(this);
}

void TProgressBar::stepIt()
{
    setValue(qBound(minimum(), value() + step_, maximum()));
}

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateTimeEdit(QDate::currentDate(), parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    registercomponent(this);
}

TTimer::TTimer(QObject* parent) : QTimer(parent)
{
    registercomponent(this);
}

void TTimer::setEnabled(bool on)
{
    if (on)
        start();
    else
        stop();
}

TPopupMenu::TPopupMenu(QWidget* parent) : QMenu(parent)
{
    registercomponent(this);
}

TImage::TImage(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    registercomponent(this);
}

TButtonGroup::TButtonGroup(QWidget* parent) : QFrame(parent)
{
    registercomponent(this);
}

void TButtonGroup::setItems(const QStringList& captions)
{
    qDeleteAll(buttons_);
    buttons_.clear();
    const int rowHeight = TButton::standardSize().height();
    for (int i = 0; i < captions.size(); ++i) {
        // Parts of the group, not components of the form.
        auto* button = new QPushButton(captions[i], this);
        button->setGeometry(0, i * rowHeight, width(), rowHeight);
        connect(button, &QPushButton::clicked, this, [this, i] { emit buttonClicked(i); });
        button->show();
        buttons_.append(button);
    }
}

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent)
{
    registercomponent(this);
}

}  // namespace platform
