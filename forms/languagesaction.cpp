#include "forms/languagesaction.h"

#include "forms/formmenu.h"
#include "lang/langmess.h"
#include "lang/langstate.h"
#include "lang/updlangfm.h"
#include "lib/fields.h"
#include "lib/folders.h"
#include "lib/messagehook.h"
#include "platform/controls/controlkinds.h"
#include "platform/controls/tform.h"

namespace vek {
namespace {

// Captures or applies the window in a language; the language folder and file
// come back for the editor. False, with the message told, when it failed.
bool parseform(platform::TForm* form, const QString& code, bool capture, QString* folder = nullptr,
               QString* file = nullptr)
{
    langmessdefn lang(form, filesfolder(), form->objectName(), code, capture);
    const bool done = lang.doscreenparse(form);
    if (folder)
        *folder = lang.langrec->langfoldername;
    if (file)
        *file = lang.langrec->langfilename;
    if (!done && !lang.errorstr.isEmpty())
        libwarning(lang.errorstr);
    return done;
}

}  // namespace

QString languagecontroltext(const QWidget* control)
{
    const platform::ControlKind* kind = platform::controlKind(control);
    if (!kind)
        return {};
    switch (kind->ownText) {
    case platform::OwnText::Caption:
        return kind->caption(control).value_or(QString());
    case platform::OwnText::Typed:
        // A memo's lines as its record holds them.
        return kind->items ? joinstrings(kind->items(control), u'|') : kind->text(control);
    case platform::OwnText::Chosen:
    case platform::OwnText::Selected:
    case platform::OwnText::None:
        break;
    }
    return {};
}

void languagesaction(platform::TForm* form, QPoint menupoint)
{
    QString folder;
    QString file;
    if (!parseform(form, currentlanguage(), true, &folder, &file))
        return;
    TUpdLangfm* editor = langeditor();
    editor->callingform = form->objectName();
    editor->callingscreen = form->caption();
    editor->langfolder = addslash(folder);
    editor->langfile = file;
    const QWidget* control = controlatpoint(form, menupoint);
    editor->controlname = control ? control->objectName() : QString();
    editor->controltext = languagecontroltext(control);
    editor->setModalResult(platform::mrNone);
    (void)editor->exec();  // every change is in the file already

    const QString chosen = editor->Languageed->text();
    if (chosen.compare(currentlanguage(), Qt::CaseInsensitive) != 0) {
        // The editor takes only codes that can name a file.
        if (const platform::Result<void> set = setcurrentlanguage(chosen); !set.ok())
            libwarning(set.message());
    }
    (void)parseform(form, currentlanguage(), false);
}

}  // namespace vek
