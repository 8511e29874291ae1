#pragma once
// Language files on disk: UTF-8 behind its byte-order mark, one line a
// record, lines ended by CR LF, written through a work file so that a failed
// write leaves the old file whole.
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vek {

// A text as it may stand in one line of a language file: a line break (CR LF,
// CR, LF, or a Unicode line or paragraph separator) becomes "|", as the editor
// stores a multi-line text; any other control character is dropped. Whatever
// a text's source (a screen, the editor, a translation), it can then add no
// record of its own to the file.
QString langfileline(const QString& text);

// Writes the lines, in their order, as a language file; a line holding CR or
// LF goes through langfileline, so that it stays one line (lines read from a
// file, which hold neither, are written as they were, a Unicode line or
// paragraph separator in them too). A file its owner made
// read-only is not replaced. True when the file was written.
[[nodiscard]] bool writelanglines(const QString& path, const QStringList& lines);

enum class LangRead { Read, Missing, Failed };
// The lines of the file in their order. A file that is not UTF-8 is read in
// the code page (or as the UTF-16 its mark names) and rewritten as UTF-8 once
// it has been read whole. Failed (and no lines) for a file that is there but
// could not be read.
LangRead readlanglines(const QString& path, QStringList& lines);

}  // namespace vek
