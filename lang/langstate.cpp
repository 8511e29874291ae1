#include "lang/langstate.h"

#include "lang/langcode.h"
#include "lang/langmess.h"
#include "lib/folders.h"
#include "platform/controls/tform.h"

#include <QObject>
#include <algorithm>

namespace vek {
namespace {

struct LangState {
    QStringList formnames;
    QString language;
};

LangState& state()
{
    static LangState s;
    return s;
}

QString nameof(const QString& entry)
{
    return entry.left(entry.indexOf(u'='));
}

bool entrybefore(const QString& a, const QString& b)
{
    if (const int c = a.compare(b, Qt::CaseInsensitive))
        return c < 0;
    return a < b;
}

// The entry of `name` (letter case ignored), or -1.
qsizetype indexofname(const QStringList& list, const QString& name)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (nameof(list[i]).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

}  // namespace

QStringList langformnames()
{
    return state().formnames;
}

void setlangformnames(const QStringList& names)
{
    state().formnames = names;
}

QString langscreenname(const QString& formname, const QObject* c)
{
    QStringList& names = state().formnames;
    if (const qsizetype i = indexofname(names, formname); i >= 0)
        return names[i].mid(names[i].indexOf(u'=') + 1);
    if (c && !c->objectName().isEmpty() && indexofname(names, c->objectName()) < 0) {
        const QString entry = c->objectName() + u'=' + formname;
        names.insert(std::lower_bound(names.begin(), names.end(), entry, entrybefore), entry);
    }
    return formname;
}

QString currentlanguage()
{
    return state().language;
}

platform::Result<void> setcurrentlanguage(const QString& code)
{
    platform::Result<void> checked = checklangcode(code);
    if (checked.ok())
        state().language = code;
    return checked;
}

bool applycurrentlanguage(platform::TForm* form)
{
    if (!form || currentlanguage().isEmpty())
        return true;
    langmessdefn apply(form, filesfolder(), form->objectName(), currentlanguage(), false);
    return apply.doscreenparse(form);
}

}  // namespace vek
