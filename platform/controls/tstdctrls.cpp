#include "platform/controls/tstdctrls.h"

#include "platform/controls/tform.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace platform {

TLabel::TLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    registercomponent(this);
}

void TLabel::setCaption(const QString& caption)
{
    setText(caption);
    if (!autoSize_)
        return;
    adjustSize();
    keepInsideParent();
}

void TLabel::keepInsideParent()
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return;
    const int right = geometry().right() - (parent->width() - 1);
    const int below = geometry().bottom() - (parent->height() - 1);
    move(right > 0 ? std::max(0, x() - right) : x(), below > 0 ? std::max(0, y() - below) : y());
}

TButton::TButton(QWidget* parent) : QPushButton(parent)
{
    registercomponent(this);
}

void TButton::nextCheckState()
{
    QPushButton::nextCheckState();
    if (modalResult_ == 0)
        return;
    if (auto* form = qobject_cast<TForm*>(window()))
        form->setModalResult(modalResult_);
}

int TButton::captionRoom() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    const int iconRoom = icon().isNull() ? 0 : iconSize().width() + 4;
    return contents.width() - margin - iconRoom;
}

bool TButton::captionElided() const
{
    return !text().isEmpty() && fontMetrics().horizontalAdvance(text()) > captionRoom();
}

void TButton::offerWholeCaption()
{
    // A tooltip of the program's own is left alone.
    if (captionElided()) {
        if (toolTip().isEmpty() || tooltipIsCaption_) {
            setToolTip(text());
            tooltipIsCaption_ = true;
        }
    } else if (tooltipIsCaption_) {
        setToolTip(QString());
        tooltipIsCaption_ = false;
    }
}

void TButton::paintEvent(QPaintEvent* event)
{
    if (!captionElided())
        return QPushButton::paintEvent(event);
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = fontMetrics().elidedText(text(), Qt::ElideRight, captionRoom());
    painter.drawControl(QStyle::CE_PushButton, option);
}

void TButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    offerWholeCaption();
}

void TButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        offerWholeCaption();
}

QSize TButton::standardSize()
{
    const QSize hint = QPushButton().sizeHint();
    const QSize toolkit(hint.width() > 0 ? hint.width() : 80, hint.height() > 0 ? hint.height() : 35);
    return toolkit.expandedTo(QSize(75, 25));
}

TEdit::TEdit(QWidget* parent) : QLineEdit(parent)
{
    registercomponent(this);
}

TLabeledEdit::TLabeledEdit(QWidget* parent) : TEdit(parent)
{
    // The label belongs to the edit, not to the form: it is made without a
    // parent so that it does not join the form's components.
    label_ = new TLabel(nullptr);
    label_->setProperty(subcomponentProperty, true);
    label_->setParent(parent);
    placeLabel();
}

TLabeledEdit::~TLabeledEdit()
{
    delete label_.data();
}

void TLabeledEdit::setVisible(bool visible)
{
    TEdit::setVisible(visible);
    if (label_)
        label_->setVisible(visible);
}

void TLabeledEdit::moveEvent(QMoveEvent* event)
{
    TEdit::moveEvent(event);
    placeLabel();
}

void TLabeledEdit::placeLabel()
{
    if (!label_)
        return;
    label_->adjustSize();
    label_->move(x(), y() - label_->height() - 3);
}

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    registercomponent(this);
}

QStringList TMemo::lines() const
{
    const QString all = toPlainText();
    if (all.isEmpty())
        return {};
    return all.split(QLatin1Char('\n'));
}

void TMemo::setLines(const QStringList& lines)
{
    setPlainText(lines.join(QLatin1Char('\n')));
}

QString TMemo::text() const
{
    QString out;
    for (const QString& line : lines())
        out += line + QLatin1String("\r\n");
    return out;
}

void TMemo::setText(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList parts = text.split(lineBreak);
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    setLines(parts);
}

TListBox::TListBox(QWidget* parent) : QListWidget(parent)
{
    registercomponent(this);
}

QStringList TListBox::items() const
{
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out.append(item(i)->text());
    return out;
}

void TListBox::setItems(const QStringList& items)
{
    clear();
    addItems(items);
}

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent)
{
    registercomponent(this);
}

QStringList TComboBox::items() const
{
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out.append(itemText(i));
    return out;
}

void TComboBox::setItems(const QStringList& items)
{
    clear();
    addItems(items);
}

void TComboBox::setText(const QString& text)
{
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(indexOfText(text));
}

int TComboBox::indexOfText(const QString& text) const
{
    return findText(text, Qt::MatchFixedString);
}

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent)
{
    registercomponent(this);
}

TRadioButton::TRadioButton(QWidget* parent) : QRadioButton(parent)
{
    registercomponent(this);
}

TGroupBox::TGroupBox(QWidget* parent) : QGroupBox(parent)
{
    registercomponent(this);
}

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent)
{
    registercomponent(this);
}

void TRadioGroup::setItems(const QStringList& items)
{
    qDeleteAll(buttons_);
    buttons_.clear();
    items_ = items;
    // The buttons are parts of the group, not components of the form.
    for (const QString& caption : items_) {
        auto* button = new QRadioButton(caption, this);
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit itemIndexChanged(itemIndex());
        });
        buttons_.append(button);
        button->show();
    }
    placeButtons();
}

int TRadioGroup::itemIndex() const
{
    for (int i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i]->isChecked())
            return i;
    }
    return -1;
}

void TRadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < buttons_.size()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // Radio buttons of one group cannot all be cleared while they are exclusive.
    for (QRadioButton* button : buttons_) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    placeButtons();
}

void TRadioGroup::placeButtons()
{
    // One column, the rows spread evenly below the caption.
    if (buttons_.isEmpty())
        return;
    const int top = fontMetrics().height() + 2;
    const int row = qMax(1, (height() - top - 4) / static_cast<int>(buttons_.size()));
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(8, top + i * row, qMax(1, width() - 16), qMin(row, buttons_[i]->sizeHint().height()));
}

TPanel::TPanel(QWidget* parent) : QFrame(parent)
{
    setAutoFillBackground(true);
    setBevel(true);
    registercomponent(this);
}

void TPanel::setCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

QColor TPanel::color() const
{
    return palette().color(QPalette::Window);
}

void TPanel::setColor(const QColor& color)
{
    QPalette shades = palette();
    shades.setColor(QPalette::Window, color);
    setPalette(shades);
}

void TPanel::setBevel(bool raised)
{
    setFrameStyle(raised ? (QFrame::Panel | QFrame::Raised) : QFrame::NoFrame);
    setLineWidth(1);
}

void TPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (caption_.isEmpty())
        return;
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

}  // namespace platform
