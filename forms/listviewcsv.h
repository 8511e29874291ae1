#pragma once
// A list view as a CSV file, for spreadsheet programs: a line of column
// captions, then one line per row in list order. Hidden columns (width 0)
// are left out. The file is UTF-8 behind its byte-order mark, so every letter
// of the list reaches the spreadsheet as it is.
#include <QChar>
#include <QString>
#include <QStringList>

namespace platform {
class TListView;
}

namespace vek {

// The highest column number whose zero width hides it; a zero-width column
// beyond it is exported.
inline constexpr int kLastHideableColumn = 256;

// The lines of the export in the standard CSV form, as spreadsheets and
// Python's csv read it: the captions of the visible columns, then per row its
// caption in double quotes (unless column 0 is hidden) and its sub-items in
// order, those of hidden columns left out and those beyond the last column
// kept. Fields are joined by `delimiter`; a field holding the delimiter, a
// quote or a line break is quoted, and a quote inside a quoted field is
// doubled. With `sort` the row lines are sorted as texts (the header stays
// first).
QStringList listviewcsvlines(const platform::TListView* listview, QChar delimiter, bool sort);

// Writes listviewcsvlines as the file `name`, UTF-8 behind its byte-order
// mark, CR LF after every line, through a work file renamed into place.
// Returns 0, or the code of the step that failed; an existing file is then as
// it was (a file its user made read-only is left alone: 5).
[[nodiscard]] int listviewtocsv(const platform::TListView* listview, const QString& name, QChar delimiter, bool sort);

}  // namespace vek
