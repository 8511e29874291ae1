#include "dialogs/clonecontrols.h"

#include "platform/controls/textctrls.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QHash>
#include <QHeaderView>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QSet>

namespace vek {
namespace {

bool issublabel(const QWidget* control)
{
    return control->objectName().compare(QLatin1String("sublabel"), Qt::CaseInsensitive) == 0;
}

// A part of another control (the label of a labelled edit) comes with it.
bool issubcomponent(const QWidget* control)
{
    return control->property(platform::subcomponentProperty).toBool();
}

bool iscontainer(const QWidget* control)
{
    // A radio group makes its own buttons from its items.
    return qobject_cast<const platform::TGroupBox*>(control) || qobject_cast<const platform::TPanel*>(control);
}

QList<QWidget*> childControls(QWidget* container)
{
    return container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

// The settings a control keeps as properties, the way its class declares
// them; shown or hidden is taken from the control itself, since the source
// panel's window may not be on screen.
void copyProperties(const QWidget* from, QWidget* to)
{
    static const QSet<QByteArray> notCopied{"visible", "windowModality", "windowOpacity"};
    const QMetaObject* meta = from->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isReadable() || !property.isWritable() || !property.isStored())
            continue;
        if (notCopied.contains(property.name()))
            continue;
        property.write(to, property.read(from));
    }
    to->setVisible(!from->isHidden());
}

// Each signal of the copy re-emits the same signal of the source.
void forwardSignals(QWidget* copy, QWidget* source)
{
    const QMetaObject* meta = copy->metaObject();
    for (int i = QWidget::staticMetaObject.methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod signal = meta->method(i);
        if (signal.methodType() != QMetaMethod::Signal || (signal.attributes() & QMetaMethod::Cloned))
            continue;
        QObject::connect(copy, signal, source, signal);
    }
}

void copyListView(const platform::TListView* from, platform::TListView* to)
{
    to->clearItems();
    to->setColumnCount(from->columnCount());
    for (int column = 0; column < from->columnCount(); ++column) {
        to->headerItem()->setText(column, from->headerItem()->text(column));
        to->setColumnWidth(column, from->columnWidth(column));
    }
    to->setCheckBoxes(from->checkBoxes());
    to->setMultiSelect(from->multiSelect());
    QList<platform::TListItem*> rows;
    rows.reserve(from->count());
    for (const platform::TListItem* row : from->rows()) {
        auto* copy = new platform::TListItem(row->caption(), row->subItems());
        if (from->checkBoxes())
            copy->setChecked(row->checked());
        rows.append(copy);
    }
    to->addItems(rows);
    for (int i = 0; i < from->count(); ++i)
        to->item(i)->setSelected(from->item(i)->isSelected());
    if (const auto* current = static_cast<const platform::TListItem*>(from->currentItem()))
        to->setCurrentItem(to->item(from->indexOf(current)), 0, QItemSelectionModel::NoUpdate);
}

enum class Way { toCopy, back };

// The values a user can change, by kind. Returns false when the two are
// not of the same kind.
bool copyValues(QWidget* from, QWidget* to, Way way)
{
    if (from->metaObject() != to->metaObject())
        return false;
    using namespace platform;
    if (auto* label = qobject_cast<TLabel*>(from)) {
        static_cast<TLabel*>(to)->setCaption(label->caption());
    } else if (auto* check = qobject_cast<QAbstractButton*>(from); check && check->isCheckable()) {
        auto* target = static_cast<QAbstractButton*>(to);
        if (way == Way::toCopy)
            target->setText(check->text());
        target->setChecked(check->isChecked());
    } else if (auto* labeled = qobject_cast<TLabeledEdit*>(from)) {
        auto* target = static_cast<TLabeledEdit*>(to);
        target->setText(labeled->text());
        if (labeled->editLabel() && target->editLabel())
            target->editLabel()->setCaption(labeled->editLabel()->caption());
    } else if (auto* edit = qobject_cast<QLineEdit*>(from)) {
        static_cast<QLineEdit*>(to)->setText(edit->text());
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(from)) {
        static_cast<QPlainTextEdit*>(to)->setPlainText(memo->toPlainText());
    } else if (auto* date = qobject_cast<QDateTimeEdit*>(from)) {
        static_cast<QDateTimeEdit*>(to)->setDateTime(date->dateTime());
    } else if (auto* combo = qobject_cast<TComboBox*>(from)) {
        auto* target = static_cast<TComboBox*>(to);
        if (way == Way::toCopy)
            target->setItems(combo->items());
        target->setItemIndex(combo->itemIndex());
        if (target->isEditable())
            target->setEditText(combo->text());
    } else if (auto* list = qobject_cast<TListBox*>(from)) {
        auto* target = static_cast<TListBox*>(to);
        target->setItems(list->items());
        target->setItemIndex(list->itemIndex());
    } else if (auto* radios = qobject_cast<TRadioGroup*>(from)) {
        auto* target = static_cast<TRadioGroup*>(to);
        target->setItems(radios->items());
        target->setItemIndex(radios->itemIndex());
    } else if (auto* view = qobject_cast<TListView*>(from)) {
        copyListView(view, static_cast<TListView*>(to));
    }
    return true;
}

// The source's children in the order Tab visits them.
QList<QWidget*> tabSequence(QWidget* container)
{
    QList<QWidget*> sequence;
    for (QWidget* w = container->nextInFocusChain(); w && w != container; w = w->nextInFocusChain()) {
        if (w->parentWidget() == container && !sequence.contains(w))
            sequence.append(w);
        if (sequence.size() > 10000)
            break;
    }
    return sequence;
}

}  // namespace

void clonecontrols(QWidget* source, QWidget* target, bool forward)
{
    if (!source || !target)
        return;
    QHash<QWidget*, QWidget*> copies;
    const QList<QWidget*> children = childControls(source);
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QWidget* original = *it;
        if (issublabel(original) || issubcomponent(original))
            continue;
        QObject* made = original->metaObject()->newInstance(Q_ARG(QWidget*, target));
        auto* copy = qobject_cast<QWidget*>(made);
        if (!copy) {
            // A class that cannot be made from its name is not copied.
            delete made;
            continue;
        }
        copyProperties(original, copy);
        copyValues(original, copy, Way::toCopy);
        if (iscontainer(original))
            clonecontrols(original, copy, forward);
        if (forward)
            forwardSignals(copy, original);
        copies.insert(original, copy);
    }
    QWidget* previous = nullptr;
    for (QWidget* original : tabSequence(source)) {
        QWidget* copy = copies.value(original);
        if (!copy)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, copy);
        previous = copy;
    }
}

void returnvalues(QWidget* copies, QWidget* originals)
{
    if (!copies || !originals)
        return;
    const QList<QWidget*> children = childControls(copies);
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QWidget* copy = *it;
        if (issublabel(copy) || issubcomponent(copy) || copy->objectName().isEmpty())
            continue;
        QWidget* original = originals->findChild<QWidget*>(copy->objectName(), Qt::FindDirectChildrenOnly);
        if (!original || !copyValues(copy, original, Way::back))
            continue;
        if (iscontainer(copy))
            returnvalues(copy, original);
    }
}

}  // namespace vek
