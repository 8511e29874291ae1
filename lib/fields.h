#pragma once
// Delimited fields, the family's CSV: one-character delimiters (comma,
// semicolon, tab), double quotes around a field that holds the delimiter.
// Quotes inside a field are neither doubled on the way out nor undone on the
// way in, so files written by the family read back as they were written.
#include <QChar>
#include <QString>
#include <QStringList>

namespace vek {

// Fills `list` with the fields of `line`. Quotes around a field are removed; a
// trailing empty field (a line ending in the delimiter) is not added; the
// empty line gives no fields. Nothing happens without a list.
void splitfields(const QString& line, QStringList* list, QChar delimiter);
void splitfields(const QString& line, QStringList& list, QChar delimiter);

// The items joined by the delimiter, quoting an item that holds the delimiter
// unless it already starts with a quote. An empty first item is written as
// two quotes, so that it survives splitfields.
QString joinfields(const QStringList& items, QChar delimiter);
// The same without the first-item rule: leading empty items vanish, and an
// item holding the delimiter is always quoted.
QString joinstrings(const QStringList& items, QChar delimiter);
// Appends one field to `line` (quoted when it holds the delimiter). An empty
// field on an empty line gives one blank, so the line is never empty; a lone
// character 0 counts as an empty field.
void appendfield(QString& line, const QString& field, QChar delimiter);

// Chooses the delimiter of a delimited file from its first line: a delimiter
// other than tab, comma or semicolon first becomes the locale's list
// separator; when the first line does not contain it, the first tab, comma or
// semicolon before its last character wins. Nothing happens for no lines.
void detectdelimiter(const QStringList& lines, QChar& delimiter);

}  // namespace vek
