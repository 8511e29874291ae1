#pragma once
// The right-click menu of every window that has a form resizer: fonts for the
// whole window or for one list, tree, grid or button group, taking them back,
// the window's default size and place, copying a control's text, a chart or a
// CSV file of a list view, and, where a program asks for it, the values of
// the window's input controls stored for the family's automatic reports.
//
// The resizer builds the menu when it is made (buildformmenu); every item is
// connected to its own handler, so that an item whose caption was changed (a
// translated menu) still does what it did.
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QObject;
class QWidget;

namespace platform {
class TForm;
}

namespace vek {

class TFormResizer;

// The captions of the menu's items, in menu order.
inline const QString kSetFontCaption = QStringLiteral("Set Font");
inline const QString kRestoreFontCaption = QStringLiteral("Restore Font");
inline const QString kResetScreenCaption = QStringLiteral("Reset Screen");
inline const QString kLanguagesCaption = QStringLiteral("Languages");
inline const QString kCopyCaptionCaption = QStringLiteral("Copy Caption");
inline const QString kMakeChartCaption = QStringLiteral("Make chart");
inline const QString kSaveListviewCaption = QStringLiteral("Save Listview");
inline const QString kExitCaption = QStringLiteral("Exit");
inline const QString kSaveReportSettingsCaption = QStringLiteral("Save Report Settings");

// The action code of "Save Report Settings" for AddAdditionalPopup.
inline const QString kReportSettingsCode = QStringLiteral("1");

// The pointer log of "Copy Caption", in the data folder.
inline const QString kPopupLogName = QStringLiteral("Popuplog.txt");
// The reports file, in the shared files folder: one section per window, one
// key per input control.
inline const QString kReportsFileName = QStringLiteral("Autoreports.txt");

// What "Save Listview" offers in its save dialog.
inline const QString kListviewFilter = QStringLiteral("CSV file|*.CSV|Text file|*.txt");
inline const QString kListviewExtension = QStringLiteral("CSV");

inline const QString kListviewNotSaved = QStringLiteral("Could not save the list as ");
inline const QString kSettingsNotSaved = QStringLiteral("Could not save the window settings in ");
inline const QString kReportsNotSaved = QStringLiteral("Could not save the report settings in ");

// Whether the "Languages" item is offered outside a debugger. Process-wide,
// false at start; nothing in the installer sets it.
bool languagesallowed();
void setlanguagesallowed(bool allowed);

// Puts the items into the resizer's menu, in menu order: "Set Font",
// "Restore Font", "Reset Screen", "Languages" (only under a debugger or with
// languagesallowed), "Copy Caption", "Make chart", "Save Listview", "Exit"
// (which only closes the menu). Each runs its handler on the resizer's owner
// and the control the menu was opened on; chosen before the menu was opened
// on a control, it does nothing.
void buildformmenu(TFormResizer* resizer);

// Appends the action codes of `s` to the resizer's AdditionalActions unless
// they are already contained there (then nothing happens). The first time
// the codes hold "1", a "Save Report Settings" item goes in before "Exit"
// (at the end of an empty menu).
void addadditionalpopup(TFormResizer* resizer, const QString& s);
// Puts an item with caption `s` and handler `p` in before the last item (at
// the end of an empty menu) and clears AdditionalPopupAddded. Returns it.
QAction* addadditionalpopupwithproc(TFormResizer* resizer, const QString& s, std::function<void()> p);

// The form's control under `point` (in the form's client coordinates): the
// deepest visible one, or null on the form's own background.
QWidget* controlatpoint(const platform::TForm* form, QPoint point);

// The control under the screen point `screenPoint` on `form` (the active
// form when null), found by walking the form's components in their order:
// the last container (panel, group box, picture) that holds the point, unless
// another control follows that holds it too, which then ends the walk. Every
// step is written to `log`, the contents of "Popuplog.txt". Null without a
// form or with nothing under the point.
QWidget* cursorcontrol(QPoint screenPoint, QStringList& log, platform::TForm* form = nullptr);

// Stores the values of the form's input controls in the reports file: its
// section (the form's name) is erased, then one key per edit, memo, combo
// box, radio group, list box, check box, radio button and date picker, in
// component order. Returns 0, or the code of the write that failed.
[[nodiscard]] int savereportsettings(platform::TForm* form);

// The name "Save Listview" suggests: the caption with every character other
// than 0-9, A-Z and a-z made "_", then ".CSV".
QString suggestedcsvname(const QString& caption);

// Whether "Languages" is offered, for one test: put back when it goes.
class LanguagesAllowedScope {
public:
    explicit LanguagesAllowedScope(bool allowed) : saved_(languagesallowed()) { setlanguagesallowed(allowed); }
    ~LanguagesAllowedScope() { setlanguagesallowed(saved_); }
    LanguagesAllowedScope(const LanguagesAllowedScope&) = delete;
    LanguagesAllowedScope& operator=(const LanguagesAllowedScope&) = delete;

private:
    bool saved_;
};

}  // namespace vek
