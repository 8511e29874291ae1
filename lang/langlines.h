#pragma once
// Language files on disk: UTF-8 behind its byte-order mark, one line a
// record, lines ended by CR LF, written through a work file so that a failed
// write leaves the old file whole.
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vek {

// Writes the lines, in their order, as a language file. A file its owner made
// read-only is not replaced. True when the file was written.
[[nodiscard]] bool writelanglines(const QString& path, const QStringList& lines);

enum class LangRead { Read, Missing, Failed };
// The lines of the file in their order. A file that is not UTF-8 is read in
// the code page (or as the UTF-16 its mark names) and rewritten as UTF-8 once
// it has been read whole. Failed (and no lines) for a file that is there but
// could not be read.
LangRead readlanglines(const QString& path, QStringList& lines);

}  // namespace vek
