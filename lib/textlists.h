#pragma once
// Text list files: one item a line, CR LF line ends, the family's single-byte
// code page unless a byte-order mark says otherwise. Loading never fails
// visibly (an empty list); writing whole files never leaves a truncated file.
#include "platform/fileapi.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vek {

// A text file opened by openread / openwrite / openappend, read and written
// line by line in the single-byte code page.
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
    bool writeline(const QString& line);
    // The code of the last failed step, 0 when none failed.
    int lasterror() const { return error_; }

private:
    friend bool openread(textfile&, const QString&);
    friend bool openwrite(textfile&, const QString&, bool);
    friend bool openappend(textfile&, const QString&);
    friend bool closetext(textfile&);
    int openAs(const QString& name, platform::OpenMode mode);
    bool fill();
    bool flush();

    platform::RawFile file_;
    QByteArray in_;
    qsizetype inPos_ = 0;
    bool atEnd_ = false;
    QByteArray out_;
    int error_ = 0;
};

// Opens an existing file for reading, once (2 when it is missing).
bool openread(textfile& f, const QString& name);
// Opens for writing (appending to an existing file when `append`), up to four
// tries with a random wait of up to 999 ms after each failure.
bool openwrite(textfile& f, const QString& name, bool append);
// Opens once for appending; creates the file when missing.
bool openappend(textfile& f, const QString& name);
// True when every pending write reached the file and the close succeeded.
bool closetext(textfile& f);

// The list holds the lines of the file (or web address), or is empty.
void loadlist(QStringList& list, const QString& name);
// The same, read line by line in the code page; a UTF-8 mark at the start of
// the first line is dropped. Nothing happens when `list` is null.
void loadlines(QStringList* list, const QString& name);
// Writes the list as the whole file. Returns whether the file was written.
bool savelist(const QStringList& list, const QString& name);
// Appends the items; true for an empty list (the file is not touched).
bool appendlist(const QStringList& list, const QString& name);
// Appends the items to a file created when missing; true when it could be opened.
bool appendlines(const QString& name, const QStringList& list);

// The items a list must exceed for a ".csv" file to be saved through a work file.
inline constexpr int kSafeReplaceThreshold = 10000;
inline const QString kWorkFileSuffix = QStringLiteral(".$$$");
inline const QString kKeepCopySuffix = QStringLiteral(".$save");
inline const QString kOmaWarning = QStringLiteral("Saving OMA file as a text file");

}  // namespace vek
