#pragma once
// Which record of a language file holds which text of each kind of control,
// and whether a capture writes it and an apply reads it. The texts themselves
// are read and written through the kind's own accessors
// (platform/controls/controlkinds.h).
#include "platform/controls/controlkinds.h"

#include <QString>

#include <span>

namespace vek {

// The text of a control a record holds.
enum class LangPart {
    Caption,
    Text,
    // The items (a memo's lines), "|" between them in the record.
    Items,
    // A list's column headings, "|" between them in the record.
    Headings,
};

struct LangRecordKind {
    platform::ControlKindId control;
    // The record kind, as it stands in the files (kKindLabel, ...).
    const QString* record;
    LangPart part;
    // A capture writes the record when the file does not hold it yet.
    bool captured;
    // An apply puts the record's text on the control.
    bool applied;
    // An empty record leaves the items as they are instead of removing them.
    bool emptyKeepsItems = false;
};

// The records of a kind of control, in the order an apply sets them (a
// labeled edit's text before its label's caption, a radio group's caption
// before its items); none for a kind the language files do not hold.
std::span<const LangRecordKind> langrecordkinds(platform::ControlKindId control);

}  // namespace vek
