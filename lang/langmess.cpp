#include "lang/langmess.h"

#include "lang/langcode.h"
#include "lang/langstate.h"
#include "lib/basictext.h"

#include <QObject>

namespace vek {

QString messagekey(const QString& text)
{
    QString key = trimtext(text);
    key.remove(u'&');
    // A line break inside a message would split its record in two lines.
    for (const QChar c : {u' ', u'=', u':', u'"', u'\'', u'\\', u'/', u'\r', u'\n'})
        key.replace(c, u'_');
    return key;
}

langmessdefn::langmessdefn(QObject* c, const QString& foldername, const QString& formname, const QString& langcode,
                           bool writemode)
    : areadmode(!writemode)
{
    if (const platform::Result<void> checked = checklangcode(langcode); !checked.ok()) {
        // No folder is made, no alias recorded and no file named.
        refused_ = true;
        errorstr = checked.message();
        langrec = std::make_unique<langfiledefn>(QString());
        alangcode = langcode;
        return;
    }
    langrec = std::make_unique<langfiledefn>(foldername);
    aformname = langscreenname(formname, c);
    alangcode = langfilecode(langcode);
    langrec->langfilename = langfilepath(langrec->langfoldername, aformname, alangcode);
}

bool langmessdefn::doscreenparse(platform::TForm* c)
{
    if (!c || refused_)
        return false;
    const bool ok = areadmode ? langrec->loadlangrecords(aformname, alangcode, c)
                              : langrec->makelangrecords(aformname, alangcode, c);
    errorstr = langrec->errorstr;
    return ok;
}

bool langmessdefn::readbeforewrite()
{
    if (refused_)
        return false;
    if (!areadmode && !langrec->recordsread()) {
        // No screen was parsed: the file's records come in first, so that
        // done() saves them with the new message instead of in place of them.
        (void)langrec->readlangfile(aformname, alangcode);  // a failed read shows as done() refusing to save
    }
    return true;
}

void langmessdefn::findmessage(QString& s)
{
    const QString key = messagekey(s);
    QString text;
    const bool found = langrec->readrecord(kKindMessage, key, text);
    if (areadmode) {
        if (found)
            s = text;
        return;
    }
    if (found && !text.isEmpty())
        return;
    if (readbeforewrite())
        langrec->writerecord(kKindMessage, key, s);
}

void langmessdefn::readmessage(QString& s, const QString& defmess)
{
    const qsizetype bar = defmess.indexOf(u'|');
    s = bar < 0 ? defmess : defmess.left(bar);
    findmessage(s);
}

void langmessdefn::writemessage(const QString& s, const QString& newmessage)
{
    if (readbeforewrite())
        langrec->writerecord(kKindMessage, messagekey(s), newmessage);
}

bool langmessdefn::done()
{
    if (areadmode || refused_)
        return false;
    const bool saved = langrec->savefile();
    errorstr = langrec->errorstr;
    return saved;
}

}  // namespace vek
