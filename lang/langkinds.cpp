#include "lang/langkinds.h"

#include "lang/langfile.h"

#include <array>
#include <cstddef>

namespace vek {
namespace {

using platform::ControlKindId;

// A window's caption is recorded, for the translator to see the window by
// its name, and never applied: a program makes its window captions itself.
// The texts of edits, combo boxes, memos and list boxes are the user's:
// a capture leaves them out, and a translator may still give them. The
// records of one kind stand together.
const std::array<LangRecordKind, 17> kRecordKinds{{
    {ControlKindId::Label, &kKindLabel, LangPart::Caption, true, true},
    {ControlKindId::LabeledEdit, &kKindEdit, LangPart::Text, false, true},
    {ControlKindId::LabeledEdit, &kKindLabel, LangPart::Caption, true, true},
    {ControlKindId::Edit, &kKindEdit, LangPart::Text, false, true},
    {ControlKindId::Button, &kKindButton, LangPart::Caption, true, true},
    {ControlKindId::TabSheet, &kKindTabs, LangPart::Caption, true, true},
    {ControlKindId::GroupBox, &kKindGroup, LangPart::Caption, true, true},
    {ControlKindId::Panel, &kKindPanel, LangPart::Caption, true, true},
    {ControlKindId::RadioGroup, &kKindRadio, LangPart::Caption, true, true},
    {ControlKindId::RadioGroup, &kKindRadioItems, LangPart::Items, true, true, true},
    {ControlKindId::Form, &kKindForm, LangPart::Caption, true, false},
    {ControlKindId::RadioButton, &kKindRadioButton, LangPart::Caption, true, true},
    {ControlKindId::CheckBox, &kKindCheck, LangPart::Caption, true, true},
    {ControlKindId::ComboBox, &kKindCombo, LangPart::Text, false, true},
    {ControlKindId::Memo, &kKindMemo, LangPart::Items, false, true},
    {ControlKindId::ListBox, &kKindListBox, LangPart::Items, false, true},
    {ControlKindId::ListView, &kKindListView, LangPart::Headings, true, true},
}};

}  // namespace

std::span<const LangRecordKind> langrecordkinds(ControlKindId control)
{
    const std::span<const LangRecordKind> all(kRecordKinds);
    std::size_t first = 0;
    while (first < all.size() && all[first].control != control)
        ++first;
    std::size_t last = first;
    while (last < all.size() && all[last].control == control)
        ++last;
    return all.subspan(first, last - first);
}

}  // namespace vek
