#include "dialogs/vekdialogu.h"

#include "lib/stamps.h"
#include "platform/controls/tanchors.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tstdctrls.h"

#include <QEvent>
#include <QStyle>

namespace vek {
namespace {

constexpr int designWidth = 660;
constexpr int designHeight = 213;
constexpr int panelHeight = 48;
constexpr int messageHeightCap = 200;
// The message keeps this distance to the form's right edge, so wrapped lines
// are never cut by it.
constexpr int messageRightMargin = 10;
constexpr int iconSize = 32;
const QColor inputColour(255, 253, 210);

template <typename Control> Control* place(Control* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

// Selects the choice the drop-down finds for the text; a text it does not
// hold becomes a new last choice when `add` is set.
void setcombotext(platform::TComboBox* combo, const QString& text, bool add)
{
    int index = combo->indexOfText(text);
    if (index < 0 && add) {
        combo->addItem(text);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

}  // namespace

TVekDialogFrm::TVekDialogFrm(QWidget* owner) : platform::TForm(owner)
{
    using namespace platform;
    setObjectName(QStringLiteral("VekDialogFrm"));
    resize(designWidth, designHeight);
    setColor(Qt::white);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    Image = place(new TImage(this), "Image", 22, 35, iconSize, iconSize);
    TitleLbl = place(new TLabel(this), "TitleLbl", 67, 16, 574, 45);
    TitleLbl->setWordWrap(true);
    QFont titleFont(QStringLiteral("Tahoma"), 11);
    titleFont.setBold(true);
    TitleLbl->setFont(titleFont);
    TitleLbl->setCaption(QStringLiteral("{...}"));
    setanchors(TitleLbl, TAnchors(akLeft) | akTop | akRight);
    MessageLbl = place(new TLabel(this), "MessageLbl", 10, 67, designWidth - 20, 13);
    MessageLbl->setWordWrap(true);
    MessageLbl->setCaption(QStringLiteral("{...}"));
    setanchors(MessageLbl, TAnchors(akLeft) | akTop | akRight);
    BottomPnl = place(new TPanel(this), "BottomPnl", 0, designHeight - panelHeight, designWidth, panelHeight);
    BottomPnl->setBevel(false);
    setalign(BottomPnl, TAlign::alBottom);
    EditBox = place(new TEdit(this), "EditBox", 67, 67, 525, 21);
    ChkBox = place(new TCheckBox(this), "ChkBox", 67, 94, 525, 17);
    ComboBox = place(new TComboBox(this), "ComboBox", 67, 117, 522, 21);
    DateTimePicker = place(new TDateTimePicker(this), "DateTimePicker", 598, 94, 186, 21);
    Memo = place(new TMemo(this), "Memo", 67, 300, 522, 89);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    for (QWidget* input : inputs())
        input->hide();

    connect(EditBox, &QLineEdit::textChanged, this, [this](const QString& text) { pValue = text; });
    connect(Memo, &QPlainTextEdit::textChanged, this, [this] { pValue = Memo->text(); });
    connect(ChkBox, &QCheckBox::toggled, this, [this](bool on) { pValue = on; });
    connect(ComboBox, &QComboBox::currentTextChanged, this, [this](const QString& text) { pValue = text; });
    // The date is taken when the picker loses the focus, and on closing.
    DateTimePicker->installEventFilter(this);
}

std::array<QWidget*, 5> TVekDialogFrm::inputs() const
{
    return {EditBox, ChkBox, ComboBox, DateTimePicker, Memo};
}

QString TVekDialogFrm::titleStr() const
{
    return TitleLbl->caption();
}

QString TVekDialogFrm::messageStr() const
{
    return MessageLbl->caption();
}

void TVekDialogFrm::setDlgType(TMsgDlgType kind)
{
    pDlgType = kind;
    Image->setPicture(style()->standardIcon(messagekind(kind).icon, nullptr, this).pixmap(iconSize, iconSize));
}

void TVekDialogFrm::setMessageStr(const QString& message)
{
    MessageLbl->setCaption(message);
    placeMessage();
    const int below = MessageLbl->y() + MessageLbl->height() + 1;
    for (QWidget* input : inputs()) {
        if (input->y() < below)
            input->move(input->x(), below);
    }
}

void TVekDialogFrm::placeMessage()
{
    const int left = TitleLbl->x();
    const int top = TitleLbl->y() + TitleLbl->height() + 10;
    const int width = qMax(1, qMin(this->width() - 50, this->width() - left - messageRightMargin));
    const int height = qMin(MessageLbl->heightForWidth(width), messageHeightCap);
    MessageLbl->setGeometry(left, top, width, qMax(height, 1));
}

void TVekDialogFrm::setTitleStr(const QString& title)
{
    TitleLbl->setCaption(title);
    const int left = TitleLbl->x();
    if (width() - left < TitleLbl->width()) {
        int wanted = TitleLbl->width() + left + 10;
        if (const TForm* main = TForm::mainForm(); main && main != this)
            wanted = qMin(wanted, main->width());
        resize(qMax(width(), wanted), height());
        platform::applyanchors(this);
    }
    MessageLbl->move(MessageLbl->x(), TitleLbl->y() + TitleLbl->height() + 10);
}

// All buttons of the row share one size: the standard size, widened where a
// caption ("Yes to All" in a large font) would not fit it.
QSize TVekDialogFrm::buttonSize(TMsgDlgButtons buttons) const
{
    QSize size = platform::TButton::standardSize();
    for (int i = 0; i < buttonkindcount; ++i) {
        const auto kind = static_cast<TMsgDlgBtn>(i);
        if (!buttons.contains(kind))
            continue;
        QPushButton measure(buttoncaption(kind));
        measure.setFont(font());
        size = size.expandedTo(QSize(measure.sizeHint().width(), size.height()));
    }
    return size;
}

void TVekDialogFrm::setButtons(TMsgDlgButtons buttons)
{
    pButtonList = buttons;
    const QSize size = buttonSize(buttons);
    int x = BottomPnl->width() - 20;
    for (int i = 0; i < buttonkindcount; ++i) {
        if (buttons.contains(static_cast<TMsgDlgBtn>(i)))
            x -= size.width() + 4;
    }
    for (int i = 0; i < buttonkindcount; ++i) {
        const auto kind = static_cast<TMsgDlgBtn>(i);
        if (!buttons.contains(kind))
            continue;
        auto* button = new platform::TButton(BottomPnl);
        button->setObjectName(buttonname(kind));
        button->setCaption(buttoncaption(kind));
        button->setGeometry(x, (BottomPnl->height() - size.height()) / 2, size.width(), size.height());
        platform::setanchors(button, platform::TAnchors(platform::akTop) | platform::akRight);
        x += size.width() + 4;
        connect(button, &QPushButton::clicked, this, &TVekDialogFrm::ButtonClick);
        button->show();
    }
}

void TVekDialogFrm::setDefaultBtn(TMsgDlgBtn button)
{
    if (!isbuttonkind(button))
        return;  // not a button: the default stays as it was
    pDefaultBtn = button;
    const QString name = buttonname(button);
    for (QObject* component : components()) {
        auto* push = qobject_cast<QPushButton*>(component);
        if (!push)
            continue;
        push->setDefault(false);
        if (push->objectName() == name) {
            push->setDefault(true);
            if (EditBox->isHidden())
                push->setFocus();
        }
    }
}

void TVekDialogFrm::ButtonClick()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button)
        return;
    if (const std::optional<TMsgDlgBtn> kind = buttonnamed(button->objectName()))
        setModalResult(buttonresult(*kind));
}

void TVekDialogFrm::switchMode(QWidget* shown, bool moveToEditBox, std::initializer_list<QWidget*> hidden)
{
    if (moveToEditBox)
        shown->move(EditBox->pos());
    shown->show();
    for (QWidget* control : hidden)
        control->hide();
}

void TVekDialogFrm::setInputMode()
{
    switchMode(EditBox, false, {ChkBox, Memo, ComboBox, DateTimePicker});
    setColor(inputColour);
    EditBox->setFocus();
}

void TVekDialogFrm::setPasswordMode()
{
    switchMode(EditBox, false, {ChkBox, Memo, ComboBox, DateTimePicker});
    EditBox->setEchoMode(QLineEdit::Password);
}

void TVekDialogFrm::setCheckMode()
{
    switchMode(ChkBox, true, {EditBox, Memo, DateTimePicker});
}

void TVekDialogFrm::setComboMode()
{
    switchMode(ComboBox, true, {EditBox, DateTimePicker, Memo});
}

void TVekDialogFrm::setDateMode()
{
    switchMode(DateTimePicker, true, {EditBox, ChkBox, Memo, ComboBox});
}

void TVekDialogFrm::setMemoMode()
{
    switchMode(Memo, true, {EditBox, ChkBox, ComboBox, DateTimePicker});
}

void TVekDialogFrm::setCheckCaption(const QString& caption)
{
    ChkBox->setCaption(caption);
}

void TVekDialogFrm::showEvent(QShowEvent* event)
{
    platform::TForm::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TVekDialogFrm::FormShow()
{
    if (TitleLbl->caption().isEmpty())
        MessageLbl->move(MessageLbl->x(), TitleLbl->y());
    if (!ChkBox->isHidden()) {
        ChkBox->setChecked(pValue.toBool());
        pValue = ChkBox->isChecked();
        ChkBox->setFocus();
    }
    if (!EditBox->isHidden()) {
        EditBox->setText(pValue.toString());
        EditBox->setFocus();
    }
    if (!Memo->isHidden()) {
        Memo->setText(pValue.toString());
        Memo->setFocus();
    }
    if (!ComboBox->isHidden())
        showCombo();
    if (!DateTimePicker->isHidden()) {
        DateTimePicker->setDate(yymmddtodate(pValue.toString()).date());
        DateTimePicker->setFocus();
    }
    const int messageBottom = MessageLbl->y() + MessageLbl->height();
    if (height() - BottomPnl->height() < messageBottom)
        resize(width(), height() + messageBottom + BottomPnl->height() + 10);
    keepInputAboveButtons();
    platform::applyanchors(this);
}

void TVekDialogFrm::showCombo()
{
    const QString text = pValue.toString();
    ComboBox->setEditable(true);
    ComboBox->clear();
    ComboBox->setEditText(text);
    ComboBox->addItems(pValues);
    if (text.isEmpty() && !pValues.isEmpty())
        ComboBox->setCurrentIndex(0);
    else
        setcombotext(ComboBox, text, true);
    if (ComboBox->text().isEmpty()) {
        ComboBox->setCurrentIndex(0);
        pValue = ComboBox->text();
    } else if (!pAllowNewEntry) {
        ComboBox->setEditable(false);
    }
    ComboBox->setFocus();
}

// An input control that the message pushed down must not disappear behind
// the button row: the form grows until it clears it.
void TVekDialogFrm::keepInputAboveButtons()
{
    for (QWidget* input : inputs()) {
        if (input->isHidden())
            continue;
        const int needed = input->y() + input->height() + 8 + BottomPnl->height();
        if (height() < needed)
            resize(width(), needed);
    }
}

bool TVekDialogFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DateTimePicker && event->type() == QEvent::FocusOut)
        takeDate();
    return platform::TForm::eventFilter(watched, event);
}

void TVekDialogFrm::takeDate()
{
    if (!DateTimePicker->isHidden())
        pValue = datetoyymmdd(DateTimePicker->date());
}

void TVekDialogFrm::done(int result)
{
    // A date picked and confirmed with Enter never loses the focus; it counts.
    takeDate();
    platform::TForm::done(result);
}

}  // namespace vek
