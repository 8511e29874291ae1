#pragma once
// The records of one language file as a keyed list of lines "kind_name=text".
// Keys (the text before the first "=") are compared without regard to letter
// case, and each key is held once.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace vek {

class langrecordlist {
public:
    // Removes every line; the list counts as sorted again.
    void clear();
    bool isempty() const { return lines_.isEmpty(); }
    qsizetype count() const { return lines_.size(); }
    // The lines as held: in sorted order after setlines or sort, with the
    // records added since then at the end.
    const QStringList& lines() const { return lines_; }

    // Replaces the content with the lines of a file and sorts them. Blank lines
    // are dropped; of the lines with one key (letter case ignored) the first
    // stands, and a line without "=" equal to an earlier one (letter case
    // ignored) is dropped. Lines without "=" are kept but never found.
    void setlines(const QStringList& lines);

    // Whether a record of `key` exists (letter case ignored); its text, as
    // written after the first "=", goes to `text`, which is left alone otherwise.
    bool find(const QString& key, QString& text) const;
    // The same as a view into the record's line, valid until the list changes.
    std::optional<QStringView> recordtext(QStringView key) const;
    // Replaces the line of `key` in place, or appends a new one, and leaves the
    // list unsorted.
    void setrecord(const QString& key, const QString& text);

    // Sorts the lines by their whole text without regard to letter case (lines
    // equal but for case in ordinal order), so that records group by kind and
    // the file comes out the same on every machine.
    void sort();
    bool sorted() const { return sorted_; }

private:
    // The index of the record line of `key`, or -1.
    qsizetype indexof(QStringView key) const;

    // lines_[0, sortedcount_) are sorted and searched by halving; the records
    // added after them are found through addedindex_ (case-folded key -> index).
    QStringList lines_;
    qsizetype sortedcount_ = 0;
    // Where the last search found its record.
    mutable qsizetype finger_ = 0;
    QHash<QString, qsizetype> addedindex_;
    bool sorted_ = true;
};

// The key of a record line: the text before its first "="; empty when it has none.
QString recordkey(const QString& line);
// Whether the line holds "=" at all (a record) or is a stray line kept as it is.
bool isrecordline(const QString& line);

}  // namespace vek
