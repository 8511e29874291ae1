#pragma once
// The kinds of control the family's windows are made of, in one table: for
// each kind, how its caption, its text, its items and its selection are read
// and written, what value the family's reports store for it, how it takes its
// font, and whether it holds other controls. Code that treats kinds alike
// looks the kind up here instead of trying one class after another.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <span>

class QMetaObject;
class QObject;

namespace platform {

enum class ControlKindId {
    Form,
    Label,
    Button,
    Edit,
    LabeledEdit,
    Memo,
    ListBox,
    ComboBox,
    CheckBox,
    RadioButton,
    GroupBox,
    RadioGroup,
    Panel,
    PageControl,
    TabSheet,
    ListView,
    TreeView,
    StringGrid,
    ProgressBar,
    DateTimePicker,
    Image,
    ButtonGroup,
    RichEdit,
};

// How a kind takes its font.
enum class FontRole {
    // Keeps whatever font it has; the window's font settings leave it alone.
    Untouched,
    // Takes the window's font while it has none of its own.
    FollowsForm,
    // Takes the window's font and its text colour while it has none of its own.
    FollowsFormWithColour,
    // May have a font of its own, chosen by the user and kept in the window's
    // settings; takes the window's font while it has none.
    Own,
    // May have a font of its own for the window's life, never stored.
    OwnUnstored,
};

// Which of a kind's texts is the one the user reads as the control's own.
enum class OwnText {
    None,
    // Its caption (labels, buttons, check boxes).
    Caption,
    // The text typed into it (edits, memos).
    Typed,
    // The text of the item chosen, or typed where it is editable (combo boxes).
    Chosen,
    // The selected item among its items, when one is selected (list boxes,
    // radio groups).
    Selected,
};

// One kind. An accessor a kind does not have is null; each accessor takes
// only controls of its own kind (as controlKind found it).
struct ControlKind {
    ControlKindId id;
    // The control class; subclasses of it are of this kind too.
    const QMetaObject* metaObject;

    // The caption: the words the control shows as its name. Reading gives
    // none when the part that shows it is gone (a labeled edit's label).
    std::optional<QString> (*caption)(const QObject*) = nullptr;
    // Writes the caption; nothing happens when the part that shows it is gone.
    void (*setCaption)(QObject*, const QString&) = nullptr;
    // The text the control holds (a memo's lines, each followed by CR LF).
    QString (*text)(const QObject*) = nullptr;
    void (*setText)(QObject*, const QString&) = nullptr;
    // The items to choose from, or a memo's lines.
    QStringList (*items)(const QObject*) = nullptr;
    // Replaces the items; where the kind has a selection, what stays selected
    // is the control's own rule (itemIndex may be -1 afterwards).
    void (*setItems)(QObject*, const QStringList&) = nullptr;
    // The selected item, -1 for none.
    int (*itemIndex)(const QObject*) = nullptr;
    void (*setItemIndex)(QObject*, int) = nullptr;
    // A list's column headings, one per column.
    QStringList (*headings)(const QObject*) = nullptr;
    // Captions one existing column; a column the list does not have is not made.
    void (*setHeading)(QObject*, int, const QString&) = nullptr;
    // The value the user chose, as the family's reports keep it: a QString
    // (an edit's text), a QStringList (a memo's lines), an int (the index
    // chosen in a combo box, list box or radio group), a bool (checked or
    // not) or a QDateTime (the date picked).
    QVariant (*value)(const QObject*) = nullptr;

    OwnText ownText = OwnText::None;
    FontRole font = FontRole::Untouched;
    // Holds other controls that may lie under a point inside it (panels,
    // group boxes, pictures).
    bool container = false;
    // Shows many rows of text, so that a font grown at the full rate of the
    // window would push them out of view.
    bool manyRows = false;
};

// Every kind, each once.
std::span<const ControlKind> controlKinds();

// The kind of `control`: that of its own class or, for a class of the
// program's own, of the nearest class it derives from that is in the table.
// Null for null and for objects of no kind (timers, menus, plain widgets).
const ControlKind* controlKind(const QObject* control);

// The control's own text (OwnText): none for a kind without one, or a list
// with no item selected.
std::optional<QString> ownTextOf(const QObject* control);

}  // namespace platform
