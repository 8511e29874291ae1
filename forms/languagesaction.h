#pragma once
// The "Languages" item of the form menu: captures the window's texts into the
// language file of the language in use, lets the user translate them in the
// language editor, and puts the file's texts on the window afterwards.
#include <QPoint>
#include <QString>

class QWidget;

namespace platform {
class TForm;
}

namespace vek {

// What the editor starts on for the control under the menu point: its
// component name and its text (what was typed into an edit, a memo's lines
// joined with "|"; a label's, button's or check box's caption; empty for
// other kinds).
QString languagecontroltext(const QWidget* control);

// The whole road for `form`, the menu having been opened at `menupoint` (in
// the form's client coordinates). The language chosen in the editor becomes
// the language in use. A capture that fails (a file that is there but cannot
// be read) is told, and the editor is not opened on it.
void languagesaction(platform::TForm* form, QPoint menupoint);

}  // namespace vek
