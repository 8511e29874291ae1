#pragma once
// tnamevaluelist: the library's keyed table of texts. Each name maps to one
// value; switches decide whether a value may be replaced, whether names and
// values are folded to upper case and whether new values pile up as a list.
// Reads and writes name=value text files and two-column delimited files.
#include <QChar>
#include <QHash>
#include <QString>
#include <QStringList>

namespace vek {

class tnamevaluelist {
public:
    // Outcomes of the last change, in updstatus.
    static constexpr quint8 kUnchanged = 0;
    static constexpr quint8 kAdded = 1;
    static constexpr quint8 kUpdated = 2;

    // The entries; names are unique and compared exactly.
    QHash<QString, QString> dict;
    // setnamevalue may change the value of an existing name.
    bool allowupdate = false;
    // A change replaces a value only with one that sorts after it (ordinal).
    bool allowlater = false;
    // Exports are sorted.
    bool sortexport = true;
    // A change appends the new value to the old one, separated by listdelim.
    bool saveaslist = false;
    quint8 updstatus = kUnchanged;
    // Names are upper-cased on every operation that takes a name.
    bool upcasename = false;
    // Values read by importlist are upper-cased.
    bool upcasevalues = false;
    // The file last read by loadfromfile.
    QString fileloaded;
    QChar listdelim = u';';
    // What getvalue gives for an absent name.
    QString Notpresentcode;

    tnamevaluelist() = default;
    // Starts with the entries of `alist` (importlist); empty when it is null.
    explicit tnamevaluelist(const QStringList* alist);
    explicit tnamevaluelist(const QStringList& alist);

    // Removes every entry and forgets the loaded file.
    void clear();
    int count() const;

    // The value, or Notpresentcode. With upcasename the name is also trimmed.
    QString getvalue(const QString& aname) const;
    // The value split at ";" into its fields.
    QStringList getvaluelist(const QString& aname);
    // The same into `alist` (cleared first); returns the number of fields.
    int getvaluelist(const QString& aname, QStringList& alist);

    // Adds the name, or changes an existing value as the switches allow.
    // True only when the name was added; updstatus tells what happened.
    bool setnamevalue(const QString& aname, const QString& avalue);
    // As setnamevalue with allowupdate in force.
    bool updatenamevalue(const QString& aname, const QString& avalue);
    // Adds `toadd` to the number held for the name (text that is not a
    // number counts as 0); true only when the name was added.
    bool addnamevalue(const QString& aname, int toadd);
    // Always true, present or not.
    bool removename(const QString& aname);
    bool namepresent(const QString& aname) const;

    // One name=value line per entry into `alist` (cleared first), sorted when
    // sortexport; nothing happens for a null list.
    void exportlist(QStringList* alist) const;
    void exportlist(QStringList& alist) const { exportlist(&alist); }
    void exportnames(QStringList* alist) const;
    void exportnames(QStringList& alist) const { exportnames(&alist); }
    // Sorted on their own, not in the order of their names.
    void exportvalues(QStringList* alist) const;
    void exportvalues(QStringList& alist) const { exportvalues(&alist); }

    // Replaces the entries with the name=value lines of `alist` (split at the
    // first namevaluesep); the first line of a name wins. Null: nothing happens.
    void importlist(const QStringList* alist);
    void importlist(const QStringList& alist) { importlist(&alist); }
    // The same for delimited lines: the delimiter is found from the first
    // line, and each line is split at its first delimiter.
    void importcsvlist(const QStringList* alist);
    void importcsvlist(const QStringList& alist) { importcsvlist(&alist); }

    // Reads a name=value file with importlist, unless it is the file already
    // loaded (clear forgets it). A file that is there but cannot be read is
    // not taken as loaded: the next call tries it again.
    void loadfromfile(const QString& aname);
    // Writes the entries as name=value lines; true when the file was written.
    // False, writing nothing, for a file whose last loadfromfile failed to read
    // it: the entries would replace settings that were never read.
    [[nodiscard]] bool savetofile(const QString& aname) const;
    // Writes name, the locale's list separator and value per line, unquoted.
    [[nodiscard]] bool savetocsv(const QString& aname) const;

private:
    // The file whose last loadfromfile could not read it; empty when none.
    QString unreadable_;
    QString keyOf(const QString& aname) const;
    bool change(const QString& aname, const QString& avalue, bool mayupdate);
    QStringList sortedPairs(QChar separator) const;
};

}  // namespace vek
