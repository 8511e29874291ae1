#pragma once
// langfiledefn: one language file, the texts of one screen in one language.
// It reads and writes the file, looks records up and stores them, and walks
// a screen to capture its texts into the file or to apply the file's texts
// to it. A file is UTF-8 behind its byte-order mark, one record
// "kind_name=text" a line, lines ended by CR LF and sorted without regard to
// letter case. Nothing here reports to the user: results come back as values
// and the last failure's message stays in errorstr.
#include "lang/langrecords.h"

#include <QString>
#include <QStringList>

class QObject;

namespace platform {
class TForm;
struct ControlKind;
}  // namespace platform

namespace vek {

struct LangRecordKind;

// The record kinds, as they stand in the files.
inline const QString kKindLabel = QStringLiteral("label");
inline const QString kKindButton = QStringLiteral("button");
inline const QString kKindTabs = QStringLiteral("tabs");
inline const QString kKindGroup = QStringLiteral("group");
inline const QString kKindPanel = QStringLiteral("panel");
inline const QString kKindRadio = QStringLiteral("radio");
inline const QString kKindRadioItems = QStringLiteral("radio-items");
inline const QString kKindForm = QStringLiteral("form");
inline const QString kKindRadioButton = QStringLiteral("radio-button");
inline const QString kKindCheck = QStringLiteral("check");
inline const QString kKindListView = QStringLiteral("listview");
inline const QString kKindEdit = QStringLiteral("edit");
inline const QString kKindCombo = QStringLiteral("combo");
inline const QString kKindMemo = QStringLiteral("memo");
inline const QString kKindListBox = QStringLiteral("listbox");
inline const QString kKindMessage = QStringLiteral("message");

// The message of a capture that would have replaced a file it could not read,
// followed by the file's name.
inline const QString kUnreadableLangFile = QStringLiteral("Could not read the language file ");
// The message of a save that left the file as it was, followed by its name.
inline const QString kUnwritableLangFile = QStringLiteral("Could not write the language file ");
// The message of a save whose records were not read from the file first,
// followed by the file's name.
inline const QString kUnreadLangFile = QStringLiteral("The records of the language file were not read first: ");
// The message of a capture without a screen.
inline const QString kNoScreen = QStringLiteral("No screen to capture");

class langfiledefn {
public:
    // The language folder is `foldername` + "lang_files"; it is made, with any
    // missing parent folders, when `foldername` is not empty. Nothing is read.
    explicit langfiledefn(const QString& foldername);
    langfiledefn(const langfiledefn&) = delete;
    langfiledefn& operator=(const langfiledefn&) = delete;

    // The screen and code of the file last read.
    QString screenname;
    QString langcode;
    // The records of the current file.
    langrecordlist langrecords;
    // Full path of the current language file.
    QString langfilename;
    // The language folder, without a separator at the end.
    QString langfoldername;
    // The last failure's message; empty after an operation that succeeded.
    QString errorstr;

    // Sets langfilename from the screen and code and loads the file into
    // langrecords. A missing file gives no records. A file that is not valid
    // UTF-8 is read in the code page and rewritten once as UTF-8 (the lines as
    // they were, in their order). False with errorstr set, and nothing changed,
    // for a code checklangcode refuses; false with no records when the file
    // is there but could not be read.
    [[nodiscard]] bool readlangfile(const QString& pscreenname, const QString& plangcode);

    // Looks up `componenttype` + "_" + `name` (letter case ignored). When
    // found, `textstr` takes the record's text without leading and trailing
    // blanks and control characters; otherwise it is left as it was.
    bool readrecord(const QString& componenttype, const QString& name, QString& textstr) const;
    // Stores a record, replacing the one of the same key in place or adding it.
    // Nothing happens for a text that is empty or begins with "{". A line break
    // inside the text is stored as "|", so that a record stays one line.
    void writerecord(const QString& componenttype, const QString& name, const QString& textstr);

    // Whether langrecords are those read from langfilename (a missing file
    // read as no records counts): only then may they be saved to it.
    bool recordsread() const { return !readfailed_ && !recordsof_.isEmpty() && recordsof_ == langfilename; }

    // Sorts the records and writes them to langfilename through a work file
    // renamed over it, so that a failed write leaves the old file whole. A file
    // its owner made read-only is left alone. Nothing is written, and false
    // comes back with errorstr set, unless the records were read from that
    // file first (recordsread): a save would otherwise drop every record the
    // file holds. True when the file was written.
    [[nodiscard]] bool savefile();

    // Capture: reads the file of the screen and code, adds a record for every
    // captured text of the screen's components whose key the file does not
    // hold yet (records already there, translated or not, stay as they are),
    // and saves the file, also when nothing was added. False, with nothing
    // written, for a refused code, no screen, or a file that is there but
    // could not be read (saving would drop its records).
    [[nodiscard]] bool makelangrecords(const QString& pscreenname, const QString& plangcode, platform::TForm* c);

    // Apply: reads the file and sets the texts of the screen's components from
    // its records; never writes the file. A component that fails (one that is
    // gone part way, for example because a handler of an earlier change
    // removed it) ends the walk without a message; components already done
    // keep their new texts. True when every component was walked, also when
    // the file has no records.
    [[nodiscard]] bool loadlangrecords(const QString& pscreenname, const QString& plangcode, platform::TForm* c);

    // Fills `t` (when given) with the names, without folder, of the files
    // matching "*.lang" in `foldername`.
    static void findlangfiles(QStringList* t, const QString& foldername);

private:
    void capturecomponent(QObject* component);
    bool applycomponent(QObject* component);
    // Puts one record's text on the component; false when the part of the
    // component that shows it is gone.
    bool applypart(const platform::ControlKind& kind, const LangRecordKind& record, QObject* component);
    void keeprecord(const QString& kind, const QString& name, const QString& text);
    QString applied(const QString& kind, const QString& name, const QString& current) const;

    // Whether the last read failed on a file that is there.
    bool readfailed_ = false;
    // The file whose records langrecords hold; empty before a read succeeded.
    QString recordsof_;
    // The key of the record readrecord looks for.
    mutable QString probe_;
};

}  // namespace vek
