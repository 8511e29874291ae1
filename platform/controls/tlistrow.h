#pragma once
// One row of a list view as the view keeps it: its texts, its check mark and
// the row object handed out for it, if any.
#include <QString>
#include <QStringList>
#include <QtCore/qtypeinfo.h>

namespace platform {

class TListItem;

// A row shows a check box only while it has a mark.
enum class CheckMark : unsigned char { None, Unchecked, Checked };

struct TListRow {
    QString caption;
    QStringList subItems;
    // The row's object once one was asked for (or the caller made the row as
    // one); the view owns it. Null for rows nobody has held yet.
    TListItem* handle = nullptr;
    CheckMark check = CheckMark::None;
    // Why the row cannot be chosen; empty for a row that can. A row with a
    // note is shown greyed, cannot be highlighted or ticked by the user, and
    // shows the note as its tooltip.
    QString disabledNote;

    // The caption for column 0, else the sub-item column - 1; null when missing.
    const QString* columnText(int column) const
    {
        if (column == 0)
            return &caption;
        return column > 0 && column - 1 < subItems.size() ? &subItems[column - 1] : nullptr;
    }
};

}  // namespace platform

// Its texts and its pointer move by their bytes: a store growing by a million
// rows is moved by the memory system (realloc), not row by row.
Q_DECLARE_TYPEINFO(platform::TListRow, Q_RELOCATABLE_TYPE);
