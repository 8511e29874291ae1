#include "platform/controls/controlkinds.h"

#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QDateTime>
#include <QMetaObject>
#include <array>

namespace platform {
namespace {

// The accessors below are reached only through a kind found for the
// control's class, so the control is of the class they name.
template <typename Control> const Control* as(const QObject* control)
{
    return static_cast<const Control*>(control);
}

template <typename Control> Control* as(QObject* control)
{
    return static_cast<Control*>(control);
}

template <typename Control> std::optional<QString> captionOf(const QObject* control)
{
    return as<Control>(control)->caption();
}

template <typename Control> void setCaptionOf(QObject* control, const QString& caption)
{
    as<Control>(control)->setCaption(caption);
}

template <typename Control> QString textOf(const QObject* control)
{
    return as<Control>(control)->text();
}

template <typename Control> void setTextOf(QObject* control, const QString& text)
{
    as<Control>(control)->setText(text);
}

template <typename Control> QStringList itemsOf(const QObject* control)
{
    return as<Control>(control)->items();
}

template <typename Control> void setItemsOf(QObject* control, const QStringList& items)
{
    as<Control>(control)->setItems(items);
}

template <typename Control> int itemIndexOf(const QObject* control)
{
    return as<Control>(control)->itemIndex();
}

template <typename Control> void setItemIndexOf(QObject* control, int index)
{
    as<Control>(control)->setItemIndex(index);
}

template <typename Control> QVariant chosenIndexOf(const QObject* control)
{
    return as<Control>(control)->itemIndex();
}

template <typename Control> QVariant checkedOf(const QObject* control)
{
    return as<Control>(control)->isChecked();
}

// A labeled edit's caption is its label's, which its owner may have removed.
std::optional<QString> labelCaption(const QObject* control)
{
    const TLabel* label = as<TLabeledEdit>(control)->editLabel();
    if (!label)
        return std::nullopt;
    return label->caption();
}

void setLabelCaption(QObject* control, const QString& caption)
{
    if (TLabel* label = as<TLabeledEdit>(control)->editLabel())
        label->setCaption(caption);
}

QStringList memoLines(const QObject* control)
{
    return as<TMemo>(control)->lines();
}

void setMemoLines(QObject* control, const QStringList& lines)
{
    as<TMemo>(control)->setLines(lines);
}

QVariant editValue(const QObject* control)
{
    return as<TEdit>(control)->text();
}

QVariant memoValue(const QObject* control)
{
    return as<TMemo>(control)->lines();
}

QVariant pickedDate(const QObject* control)
{
    return as<TDateTimePicker>(control)->dateTime();
}

QStringList listHeadings(const QObject* control)
{
    const auto* list = as<TListView>(control);
    QStringList out;
    const TListHeader* head = list->headerItem();
    for (int i = 0; i < list->columnCount(); ++i)
        out.append(head->text(i));
    return out;
}

void setListHeading(QObject* control, int column, const QString& heading)
{
    as<TListView>(control)->headerItem()->setText(column, heading);
}

// The lookup walks the control's class chain from its own class upwards, so
// a labeled edit finds its own kind before that of the edit it derives from,
// whatever the order here.
const std::array<ControlKind, 23> kKinds{{
    {.id = ControlKindId::Form,
     .metaObject = &TForm::staticMetaObject,
     .caption = captionOf<TForm>,
     .setCaption = setCaptionOf<TForm>},
    {.id = ControlKindId::Label,
     .metaObject = &TLabel::staticMetaObject,
     .caption = captionOf<TLabel>,
     .setCaption = setCaptionOf<TLabel>,
     .ownText = OwnText::Caption,
     .font = FontRole::FollowsFormWithColour},
    {.id = ControlKindId::Button,
     .metaObject = &TButton::staticMetaObject,
     .caption = captionOf<TButton>,
     .setCaption = setCaptionOf<TButton>,
     .ownText = OwnText::Caption,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::LabeledEdit,
     .metaObject = &TLabeledEdit::staticMetaObject,
     .caption = labelCaption,
     .setCaption = setLabelCaption,
     .text = textOf<TEdit>,
     .setText = setTextOf<TEdit>,
     .value = editValue,
     .ownText = OwnText::Typed,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::Edit,
     .metaObject = &TEdit::staticMetaObject,
     .text = textOf<TEdit>,
     .setText = setTextOf<TEdit>,
     .value = editValue,
     .ownText = OwnText::Typed,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::Memo,
     .metaObject = &TMemo::staticMetaObject,
     .text = textOf<TMemo>,
     .setText = setTextOf<TMemo>,
     .items = memoLines,
     .setItems = setMemoLines,
     .value = memoValue,
     .ownText = OwnText::Typed,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::ListBox,
     .metaObject = &TListBox::staticMetaObject,
     .items = itemsOf<TListBox>,
     .setItems = setItemsOf<TListBox>,
     .itemIndex = itemIndexOf<TListBox>,
     .setItemIndex = setItemIndexOf<TListBox>,
     .value = chosenIndexOf<TListBox>,
     .ownText = OwnText::Selected,
     .font = FontRole::FollowsForm,
     .manyRows = true},
    {.id = ControlKindId::ComboBox,
     .metaObject = &TComboBox::staticMetaObject,
     .text = textOf<TComboBox>,
     .setText = setTextOf<TComboBox>,
     .items = itemsOf<TComboBox>,
     .setItems = setItemsOf<TComboBox>,
     .itemIndex = itemIndexOf<TComboBox>,
     .setItemIndex = setItemIndexOf<TComboBox>,
     .value = chosenIndexOf<TComboBox>,
     .ownText = OwnText::Chosen,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::CheckBox,
     .metaObject = &TCheckBox::staticMetaObject,
     .caption = captionOf<TCheckBox>,
     .setCaption = setCaptionOf<TCheckBox>,
     .value = checkedOf<TCheckBox>,
     .ownText = OwnText::Caption,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::RadioButton,
     .metaObject = &TRadioButton::staticMetaObject,
     .caption = captionOf<TRadioButton>,
     .setCaption = setCaptionOf<TRadioButton>,
     .value = checkedOf<TRadioButton>},
    {.id = ControlKindId::GroupBox,
     .metaObject = &TGroupBox::staticMetaObject,
     .caption = captionOf<TGroupBox>,
     .setCaption = setCaptionOf<TGroupBox>,
     .font = FontRole::FollowsForm,
     .container = true},
    {.id = ControlKindId::RadioGroup,
     .metaObject = &TRadioGroup::staticMetaObject,
     .caption = captionOf<TRadioGroup>,
     .setCaption = setCaptionOf<TRadioGroup>,
     .items = itemsOf<TRadioGroup>,
     .setItems = setItemsOf<TRadioGroup>,
     .itemIndex = itemIndexOf<TRadioGroup>,
     .setItemIndex = setItemIndexOf<TRadioGroup>,
     .value = chosenIndexOf<TRadioGroup>,
     .ownText = OwnText::Selected,
     .font = FontRole::FollowsForm},
    {.id = ControlKindId::Panel,
     .metaObject = &TPanel::staticMetaObject,
     .caption = captionOf<TPanel>,
     .setCaption = setCaptionOf<TPanel>,
     .font = FontRole::FollowsForm,
     .container = true},
    {.id = ControlKindId::PageControl, .metaObject = &TPageControl::staticMetaObject},
    {.id = ControlKindId::TabSheet,
     .metaObject = &TTabSheet::staticMetaObject,
     .caption = captionOf<TTabSheet>,
     .setCaption = setCaptionOf<TTabSheet>},
    {.id = ControlKindId::ListView,
     .metaObject = &TListView::staticMetaObject,
     .headings = listHeadings,
     .setHeading = setListHeading,
     .font = FontRole::Own,
     .manyRows = true},
    {.id = ControlKindId::TreeView, .metaObject = &TTreeView::staticMetaObject, .font = FontRole::Own},
    {.id = ControlKindId::StringGrid,
     .metaObject = &TStringGrid::staticMetaObject,
     .font = FontRole::Own,
     .manyRows = true},
    {.id = ControlKindId::ProgressBar, .metaObject = &TProgressBar::staticMetaObject},
    {.id = ControlKindId::DateTimePicker, .metaObject = &TDateTimePicker::staticMetaObject, .value = pickedDate},
    {.id = ControlKindId::Image, .metaObject = &TImage::staticMetaObject, .container = true},
    {.id = ControlKindId::ButtonGroup, .metaObject = &TButtonGroup::staticMetaObject, .font = FontRole::Own},
    {.id = ControlKindId::RichEdit, .metaObject = &TRichEdit::staticMetaObject, .font = FontRole::OwnUnstored},
}};

}  // namespace

std::span<const ControlKind> controlKinds()
{
    return kKinds;
}

const ControlKind* controlKind(const QObject* control)
{
    if (!control)
        return nullptr;
    for (const QMetaObject* meta = control->metaObject(); meta; meta = meta->superClass()) {
        for (const ControlKind& kind : kKinds) {
            if (kind.metaObject == meta)
                return &kind;
        }
    }
    return nullptr;
}

std::optional<QString> ownTextOf(const QObject* control)
{
    const ControlKind* kind = controlKind(control);
    if (!kind)
        return std::nullopt;
    switch (kind->ownText) {
    case OwnText::Caption:
        return kind->caption(control);
    case OwnText::Typed:
    case OwnText::Chosen:
        return kind->text(control);
    case OwnText::Selected: {
        const QStringList items = kind->items(control);
        const int index = kind->itemIndex(control);
        if (index >= 0 && index < items.size())
            return items.at(index);
        return std::nullopt;
    }
    case OwnText::None:
        break;
    }
    return std::nullopt;
}

}  // namespace platform
