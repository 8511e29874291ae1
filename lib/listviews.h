#pragma once
// Shared operations on report-style list views: emptying, sub-items by
// position, and the column sort wired to column-header clicks.
#include "platform/controls/tlistview.h"

#include <QString>

namespace vek {

// Removes every row with one repaint.
void clearlistview(platform::TListView* view);
// The sub-item's text; empty for an absent row or an index outside 0..count-1.
QString getsubitem(const platform::TListItem* row, int index);
// Appends empty sub-items until `index` exists, then sets it. A negative index,
// or one at or beyond the row's subItemLimit() (its view's columns and a
// margin) that it does not hold yet, changes nothing: such an index is a wrong
// value, and growing the row to it would take all the memory there is.
void setsubitem(platform::TListItem* row, int index, const QString& text);

// Sorts by the clicked column and flips `descending` (the first call on a fresh
// flag sorts descending). The column is read as dates, numbers or text, decided
// from the rows at positions 2 to 99.
void sortlistview(platform::TListView* view, int column, bool& descending);

// -1, 0 or 1; texts that are not dates compare equal to anything.
int comparedates(const QString& a, const QString& b);

}  // namespace vek
