#pragma once
// langmessdefn: the front through which the program uses language files. It
// resolves a screen name and a language code into a file, captures a screen
// into it or applies it to the screen, and looks translated message texts up.
// Made for one operation and released right after it.
#include "lang/langfile.h"

#include <QString>
#include <memory>

class QObject;

namespace platform {
class TForm;
}

namespace vek {

// The key under which a message text is stored: the text without leading and
// trailing blanks and control characters, every "&" deleted, and every blank,
// "=", ":", double quote, "'", "\", "/" and line break replaced by "_".
// "&Save as:" gives "Save_as_", stored as the record message_Save_as_.
QString messagekey(const QString& text);

class langmessdefn {
public:
    // Resolves the screen: a `formname` known to the screen alias list
    // (langformnames) stands for the screen name it was first opened under;
    // otherwise it is the screen name itself, and the component name of `c`
    // (when given and named) joins the list with it. The file name is set
    // from the screen and `langcode` ("Default" when empty); nothing is read.
    // `writemode` true means capture, false apply.
    //
    // A code checklangcode refuses would name a file outside the language
    // folder: the object is then refused (errorstr says why), the alias list
    // and the disk are left as they are, and every operation does nothing.
    langmessdefn(QObject* c, const QString& foldername, const QString& formname, const QString& langcode,
                 bool writemode);
    langmessdefn(const langmessdefn&) = delete;
    langmessdefn& operator=(const langmessdefn&) = delete;

    // The language file; its records are those the last doscreenparse read.
    std::unique_ptr<langfiledefn> langrec;
    // The resolved screen name, and the code ("Default" when none was given).
    QString aformname;
    QString alangcode;
    // True: apply; false: capture.
    bool areadmode = true;
    // Kept for the family's callers; no operation reads it.
    bool logit = false;
    // Why the language code was refused, or the last operation's failure.
    QString errorstr;

    // Whether the language code was refused (see the constructor).
    bool refused() const { return refused_; }

    // Captures the screen into the file (capture mode) or applies the file to
    // it (apply mode). Nothing happens without a screen or for a refused
    // object. The result is that of makelangrecords or loadlangrecords, with
    // their message in errorstr.
    [[nodiscard]] bool doscreenparse(platform::TForm* c);

    // Apply mode: `s` becomes the text of the message record of its key, when
    // there is one. Capture mode: a message record missing (or empty) takes
    // `s` as its text, to be saved by done(); `s` is unchanged. An object that
    // parsed no screen holds no records; in capture mode it reads the file's
    // records before it adds one, so that done() keeps them.
    void findmessage(QString& s);
    // `s` becomes `defmess` cut before its first "|" (a question before its
    // title), then goes through findmessage.
    void readmessage(QString& s, const QString& defmess);
    // Stores `newmessage` as the text of the message record of `s`'s key (in
    // capture mode after reading the file's records, as findmessage does).
    void writemessage(const QString& s, const QString& newmessage);

    // Capture mode: saves the records (those findmessage and writemessage
    // added included). True when saved; false in apply mode, for a refused
    // object, when the file's records could not be read (a save would drop
    // them) or when the save failed. Destroying the object without done()
    // leaves the file as the last capture wrote it.
    [[nodiscard]] bool done();

private:
    // In capture mode, reads the file's records when none were read yet; false
    // for a refused object.
    bool readbeforewrite();

    bool refused_ = false;
};

}  // namespace vek
