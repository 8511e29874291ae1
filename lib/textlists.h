#pragma once
// Text list files: one item a line, CR LF line ends, the family's single-byte
// code page unless a byte-order mark says otherwise. A list the code page
// cannot hold is written as UTF-8 behind the mark, never with "?" in place of
// its letters. Loading never fails visibly (an empty list); writing whole
// files never leaves a truncated file where a work file can be made.
// readlist and readlines tell a missing file from an unreadable one.
#include "platform/codepage.h"
#include "platform/fileapi.h"
#include "platform/readerror.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vek {

// A text file opened by openread / openwrite / openappend, read and written
// line by line: in UTF-8 when the file begins with its byte-order mark (or
// was started as UTF-8), otherwise in the single-byte code page, where a
// character it cannot hold is written as "?".
class textfile {
public:
    textfile() = default;
    textfile(const textfile&) = delete;
    textfile& operator=(const textfile&) = delete;
    ~textfile();

    bool isopen() const { return file_.isOpen(); }
    // Reads one line without its end; false at the end of the file or on an error.
    bool readline(QString& line);
    bool eof();
    // Writes the text and CR LF; false on an error.
    [[nodiscard]] bool writeline(const QString& line);
    // The code of the last failed step, 0 when none failed.
    int lasterror() const { return error_; }
    platform::TextEncoding encoding() const { return encoding_; }
    // Whether a file open for writing holds nothing yet.
    bool isempty() const { return empty_; }
    // Starts a file that holds nothing yet as UTF-8: writes the byte-order
    // mark, and later lines go as UTF-8. False when the file holds text.
    [[nodiscard]] bool startutf8();

private:
    friend bool openread(textfile&, const QString&);
    friend bool openwrite(textfile&, const QString&, bool);
    friend bool openappend(textfile&, const QString&);
    friend bool closetext(textfile&);
    [[nodiscard]] int openAs(const QString& name, platform::OpenMode mode);
    bool fill();
    [[nodiscard]] bool flush();
    QString decode(const char* data, qsizetype size) const;

    platform::RawFile file_;
    QByteArray in_;
    qsizetype inPos_ = 0;
    bool atEnd_ = false;
    QByteArray out_;
    int error_ = 0;
    platform::TextEncoding encoding_ = platform::TextEncoding::CodePage;
    bool empty_ = false;
};

// Opens an existing file for reading, once (2 when it is missing).
[[nodiscard]] bool openread(textfile& f, const QString& name);
// Opens for writing (appending to an existing file when `append`), up to four
// tries with a random wait of up to 999 ms after each failure.
[[nodiscard]] bool openwrite(textfile& f, const QString& name, bool append);
// Opens once for appending; creates the file when missing.
[[nodiscard]] bool openappend(textfile& f, const QString& name);
// True when every pending write reached the file and the close succeeded.
[[nodiscard]] bool closetext(textfile& f);

// The list holds the lines of the file (or web address), or is empty.
void loadlist(QStringList& list, const QString& name);
// The same, read line by line (up to four tries at the open); a UTF-8 mark
// selects UTF-8 as it does for loadlist. Nothing happens when `list` is null.
void loadlines(QStringList* list, const QString& name);
// loadlist and loadlines with the reason behind an empty list: NotExist for a
// file that is not there, Failed for one that could not be read whole (or a
// web address that gave nothing). The list is empty unless None; a caller
// that would write the file after reading it must not after Failed.
[[nodiscard]] platform::ReadError readlist(QStringList& list, const QString& name);
[[nodiscard]] platform::ReadError readlines(QStringList& list, const QString& name);
// Writes the list as the whole file: in the code page when every item fits
// it, else as UTF-8 behind its mark. An existing file that cannot be opened
// for writing (after openwrite's tries) is left alone, as openwrite would
// leave it. The new content goes through a work file renamed into place; only
// where the folder refuses a work file is an existing file rewritten in
// place. Returns whether the file was written.
[[nodiscard]] bool savelist(const QStringList& list, const QString& name);
// Appends the items; true for an empty list (the file is not touched). A
// file in the code page that must take items the code page cannot hold is
// rewritten as UTF-8 first, as savelist would write it, so one file never
// mixes the two.
[[nodiscard]] bool appendlist(const QStringList& list, const QString& name);
// Appends the items to a file created when missing; true when it could be
// opened. Items are encoded as appendlist encodes them.
[[nodiscard]] bool appendlines(const QString& name, const QStringList& list);

// The items a list must exceed for a ".csv" file to be saved through a work file.
inline constexpr int kSafeReplaceThreshold = 10000;
inline const QString kWorkFileSuffix = QStringLiteral(".$$$");
inline const QString kKeepCopySuffix = QStringLiteral(".$save");
inline const QString kOmaWarning = QStringLiteral("Saving OMA file as a text file");

}  // namespace vek
