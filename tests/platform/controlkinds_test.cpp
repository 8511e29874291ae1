// The table of control kinds, on a control of each kind's own class: the kind
// is found for it, and what its accessors write reads back as the control
// keeps it.
#include "platform/controls/controlkinds.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QMetaObject>
#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace {

using platform::ControlKind;
using platform::controlKind;
using platform::ControlKindId;
using platform::controlKinds;

// A label of a program's own, as the family's windows derive them.
class LinkLabel : public platform::TLabel {
    Q_OBJECT
public:
    using TLabel::TLabel;
};

class ControlKindsTest : public ::testing::Test {
protected:
    // A control of the kind's own class on the form, made from the class alone.
    QObject* make(const ControlKind& kind)
    {
        QObject* control = kind.metaObject->newInstance(Q_ARG(QWidget*, &form_));
        EXPECT_NE(control, nullptr) << kind.metaObject->className();
        return control;
    }
    const ControlKind& kindOf(ControlKindId id)
    {
        for (const ControlKind& kind : controlKinds()) {
            if (kind.id == id)
                return kind;
        }
        ADD_FAILURE() << "no kind " << static_cast<int>(id);
        return controlKinds().front();
    }

    platform::TForm form_;
};

TEST_F(ControlKindsTest, EveryClassFindsItsOwnKindAndADerivedClassItsBase)
{
    std::set<ControlKindId> ids;
    for (const ControlKind& kind : controlKinds()) {
        EXPECT_TRUE(ids.insert(kind.id).second) << kind.metaObject->className() << " listed twice";
        QObject* control = make(kind);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(controlKind(control), &kind) << kind.metaObject->className();
    }
    // A labeled edit is an edit too, but of a kind of its own.
    EXPECT_EQ(controlKind(new platform::TLabeledEdit(&form_))->id, ControlKindId::LabeledEdit);
    EXPECT_EQ(controlKind(new LinkLabel(&form_))->id, ControlKindId::Label);
    EXPECT_EQ(controlKind(new platform::TTimer(&form_)), nullptr);
    EXPECT_EQ(controlKind(new QWidget(&form_)), nullptr);
    EXPECT_EQ(controlKind(nullptr), nullptr);
}

// Captions, items and the selection, on every kind that has them; a caption
// is the control's own caption property where it has one.
TEST_F(ControlKindsTest, CaptionItemsAndSelectionWrittenReadBack)
{
    const QString caption = QStringLiteral("Größe && Gewicht | mehr");
    const QStringList items{QStringLiteral("eins"), QStringLiteral("zwei"), QStringLiteral("drei")};
    for (const ControlKind& kind : controlKinds()) {
        QObject* control = make(kind);
        ASSERT_NE(control, nullptr);
        const char* name = kind.metaObject->className();
        EXPECT_EQ(kind.caption == nullptr, kind.setCaption == nullptr) << name;
        EXPECT_EQ(kind.items == nullptr, kind.setItems == nullptr) << name;
        EXPECT_EQ(kind.itemIndex == nullptr, kind.setItemIndex == nullptr) << name;
        if (kind.setCaption) {
            kind.setCaption(control, caption);
            EXPECT_EQ(kind.caption(control), caption) << name;
            if (const QVariant own = control->property("caption"); own.isValid()) {
                EXPECT_EQ(own.toString(), caption) << name;
            }
        }
        if (kind.setItems) {
            kind.setItems(control, items);
            EXPECT_EQ(kind.items(control), items) << name;
        }
        if (kind.setItemIndex) {
            kind.setItemIndex(control, 1);
            EXPECT_EQ(kind.itemIndex(control), 1) << name;
            kind.setItemIndex(control, -1);
            EXPECT_EQ(kind.itemIndex(control), -1) << name;
        }
    }
}

// A labeled edit's caption is its label's; without the label it has none,
// and writing one changes nothing.
TEST_F(ControlKindsTest, ALabeledEditsCaptionIsItsLabels)
{
    auto* edit = new platform::TLabeledEdit(&form_);
    const ControlKind& kind = *controlKind(edit);
    kind.setCaption(edit, QStringLiteral("Name:"));
    EXPECT_EQ(edit->editLabel()->caption(), QStringLiteral("Name:"));
    delete edit->editLabel();
    EXPECT_EQ(kind.caption(edit), std::nullopt);
    kind.setCaption(edit, QStringLiteral("Vorname:"));
    EXPECT_EQ(kind.caption(edit), std::nullopt);
}

// The text each kind keeps of what was written: a memo ends every line with
// CR LF, a pick-only combo box takes the item of that text.
TEST_F(ControlKindsTest, TextWrittenReadsBackAsTheKindKeepsIt)
{
    const struct {
        ControlKindId id;
        QString written;
        QString read;
    } cases[] = {
        {ControlKindId::Edit, QStringLiteral("Suche"), QStringLiteral("Suche")},
        {ControlKindId::LabeledEdit, QStringLiteral("Schmidt"), QStringLiteral("Schmidt")},
        {ControlKindId::Memo, QStringLiteral("eins\rzwei\n"), QStringLiteral("eins\r\nzwei\r\n")},
        {ControlKindId::ComboBox, QStringLiteral("ZWEI"), QStringLiteral("zwei")},
    };
    std::set<ControlKindId> covered;
    for (const auto& c : cases) {
        const ControlKind& kind = kindOf(c.id);
        QObject* control = make(kind);
        ASSERT_NE(control, nullptr);
        if (kind.setItems)
            kind.setItems(control, {QStringLiteral("eins"), QStringLiteral("zwei")});
        ASSERT_NE(kind.setText, nullptr) << kind.metaObject->className();
        kind.setText(control, c.written);
        EXPECT_EQ(kind.text(control), c.read) << kind.metaObject->className();
        covered.insert(c.id);
    }
    for (const ControlKind& kind : controlKinds()) {
        EXPECT_EQ(kind.text == nullptr, kind.setText == nullptr) << kind.metaObject->className();
        if (kind.text) {
            EXPECT_TRUE(covered.count(kind.id)) << kind.metaObject->className() << " has a text and no case";
        }
    }
}

TEST_F(ControlKindsTest, AListsHeadingsAreWrittenPerColumnAndMakeNoColumn)
{
    auto* list = new platform::TListView(&form_);
    for (const char* heading : {"Name", "Size", "Date"})
        list->addColumn(QLatin1String(heading), 60);
    const ControlKind& kind = *controlKind(list);
    kind.setHeading(list, 1, QStringLiteral("Größe"));
    kind.setHeading(list, 5, QStringLiteral("Modus"));
    EXPECT_EQ(kind.headings(list), (QStringList{"Name", QStringLiteral("Größe"), "Date"}));
    EXPECT_EQ(list->columnCount(), 3);
}

// The value the reports keep for each kind that has one, in its own type.
TEST_F(ControlKindsTest, TheValueIsTheUsersChoiceInItsOwnType)
{
    const QDateTime picked(QDate(2024, 9, 5), QTime(14, 30));
    const struct {
        ControlKindId id;
        QVariant value;
    } cases[] = {
        {ControlKindId::Edit, QStringLiteral("typed")},
        {ControlKindId::LabeledEdit, QStringLiteral("typed")},
        {ControlKindId::Memo, QStringList{"one", "two"}},
        {ControlKindId::ListBox, 1},
        {ControlKindId::ComboBox, 1},
        {ControlKindId::RadioGroup, 1},
        {ControlKindId::CheckBox, true},
        {ControlKindId::RadioButton, true},
        {ControlKindId::DateTimePicker, picked},
    };
    std::set<ControlKindId> covered;
    for (const auto& c : cases) {
        const ControlKind& kind = kindOf(c.id);
        QObject* control = make(kind);
        ASSERT_NE(control, nullptr);
        if (kind.setItems)
            kind.setItems(control, {QStringLiteral("one"), QStringLiteral("two")});
        if (kind.setItemIndex)
            kind.setItemIndex(control, 1);
        else if (kind.setText && !kind.setItems)
            kind.setText(control, QStringLiteral("typed"));
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setChecked(true);
        if (auto* picker = qobject_cast<QDateTimeEdit*>(control))
            picker->setDateTime(picked);
        ASSERT_NE(kind.value, nullptr) << kind.metaObject->className();
        const QVariant value = kind.value(control);
        EXPECT_EQ(value.typeId(), c.value.typeId()) << kind.metaObject->className();
        EXPECT_EQ(value, c.value) << kind.metaObject->className();
        covered.insert(c.id);
    }
    for (const ControlKind& kind : controlKinds()) {
        if (kind.value) {
            EXPECT_TRUE(covered.count(kind.id)) << kind.metaObject->className() << " has a value and no case";
        }
    }
}

// The text the user reads as a control's own: the caption of a label, button
// or check box, what was typed or chosen, the selected item; none for the
// kinds whose caption names a group of other controls or a choice.
TEST_F(ControlKindsTest, OwnTextIsTheTypedTheChosenTheSelectedOrTheCaption)
{
    const struct {
        ControlKindId id;
        int selected;
        std::optional<QString> own;
    } cases[] = {
        {ControlKindId::Label, -1, QStringLiteral("Caption")},
        {ControlKindId::Button, -1, QStringLiteral("Caption")},
        {ControlKindId::CheckBox, -1, QStringLiteral("Caption")},
        {ControlKindId::Edit, -1, QStringLiteral("typed")},
        {ControlKindId::Memo, -1, QStringLiteral("typed\r\n")},
        {ControlKindId::ComboBox, 1, QStringLiteral("two")},
        {ControlKindId::ListBox, 1, QStringLiteral("two")},
        {ControlKindId::ListBox, -1, std::nullopt},
        {ControlKindId::RadioGroup, 0, QStringLiteral("one")},
        {ControlKindId::RadioGroup, -1, std::nullopt},
        {ControlKindId::RadioButton, -1, std::nullopt},
        {ControlKindId::GroupBox, -1, std::nullopt},
        {ControlKindId::Panel, -1, std::nullopt},
        {ControlKindId::Form, -1, std::nullopt},
    };
    for (const auto& c : cases) {
        const ControlKind& kind = kindOf(c.id);
        QObject* control = make(kind);
        ASSERT_NE(control, nullptr);
        if (kind.setCaption)
            kind.setCaption(control, QStringLiteral("Caption"));
        if (kind.setItems)
            kind.setItems(control, {QStringLiteral("one"), QStringLiteral("two")});
        if (kind.setItemIndex)
            kind.setItemIndex(control, c.selected);
        else if (kind.setText)
            kind.setText(control, QStringLiteral("typed"));
        EXPECT_EQ(platform::ownTextOf(control), c.own) << kind.metaObject->className() << " " << c.selected;
    }
    EXPECT_EQ(platform::ownTextOf(nullptr), std::nullopt);
}

}  // namespace

#include "controlkinds_test.moc"
