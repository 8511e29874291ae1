#pragma once
// Every window remembers, per user, where it was and how it looked: position,
// size and maximised state, the column widths of its list views and string
// grids, the active page of its page controls, and the fonts the user chose
// through the form menu. All of it lives in one settings file per program in
// the data folder. The same code decides how big a window is the first time:
// enlarged in proportion to fill about 90% of the work area (at most 1.5
// times its design size, 1.33 times for forms narrower than 600 pixels) and
// centred.
//
// A form whose size is fixed (minimum size equal to maximum size) is left out
// of every operation here: nothing is read or written for it.
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace platform {
class IniFile;
class TForm;
}  // namespace platform

namespace vek {

// The settings file's name: the program file's name without folder and
// extension, then "defaults.ini" ("TessarineInstaller.exe" gives
// "TessarineInstallerdefaults.ini").
inline const QString kSettingsFileSuffix = QStringLiteral("defaults.ini");
QString settingsFileName(const QString& programFile);
// The running program's settings file in the data folder.
QString settingsFilePath();

// Sections: a form's is its component name, a control's the form's name, "_"
// and the control's name, the revert marker "Revert" and the form's name.
inline const QString kRevertSectionPrefix = QStringLiteral("Revert");
QString formSection(const QWidget* form);
QString controlSection(const QWidget* form, const QWidget* control);
QString revertSection(const QWidget* form);

// Keys of the form section.
inline const QString kLastTopKey = QStringLiteral("LastTop");
inline const QString kLastLeftKey = QStringLiteral("LastLeft");
inline const QString kLastHeightKey = QStringLiteral("LastHeight");
inline const QString kLastWidthKey = QStringLiteral("LastWidth");
inline const QString kMaxKey = QStringLiteral("MAX");
// The font keys: the form's as they stand, a control's behind its kind's
// prefix ("LV", "TV", "BG", "SG": "LVFontSize").
inline const QString kFontSizeKey = QStringLiteral("FontSize");
inline const QString kFontNameKey = QStringLiteral("FontName");
inline const QString kFontColorKey = QStringLiteral("FontColor");
// The revert marker's key: true means "store nothing at the next close".
inline const QString kRequestKey = QStringLiteral("Request");
// Column widths ("LV0", "SG3") in ten-thousandths of the control's width, and
// the active page.
inline const QString kListViewPrefix = QStringLiteral("LV");
inline const QString kTreeViewPrefix = QStringLiteral("TV");
inline const QString kButtonGroupPrefix = QStringLiteral("BG");
inline const QString kStringGridPrefix = QStringLiteral("SG");
inline const QString kActivePageKey = QStringLiteral("PGC");

// x rounded to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4), whatever rounding mode the processor is in.
int roundHalfEven(double x);

// A window's outer bounds in screen pixels.
struct FormGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const FormGeometry&, const FormGeometry&) = default;
};

// The size and place of a window that has none stored: its design size
// (outer) scaled towards 90% of the work area (of at most 1280 x 1024), the
// scale capped at 1.5 (1.33 under 600 pixels wide), centred on the work area
// and at least one pixel inside its top-left corner.
FormGeometry defaultGeometry(QSize design, const QRect& workArea);

// The form's outer bounds now: its area with the window manager's frame
// around it (platform::framemargins).
FormGeometry outergeometry(const QWidget* form);
// Notes the frame the window manager draws around the form while it is not
// maximised (a maximised one may have a thinner frame, or none), for the
// normal geometry stored when it closes maximised. Nothing while maximised.
void notenormalframe(QWidget* form);
// Puts the form's frame at `outer`: its area becomes `outer` less the frame.
void placeouter(QWidget* form, const FormGeometry& outer);
// defaultGeometry of the form on its screen's work area, measured from its
// design size (the one its resizer recorded, frame included) whatever size
// it has now: the same from a first start, Reset Screen and Restore Font.
FormGeometry formdefaultgeometry(const QWidget* form);

// A stored top-left corner pulled back onto the screens: a corner within 5
// pixels of (or beyond) the desktop's bottom or right edge, and then of the
// work area's, moves so that the window's far edge lies on that edge.
QPoint pullBack(QPoint topLeft, QSize size, const QRect& desktop, const QRect& workArea);

// Where a stored geometry puts a window whose frame is `current` now: the
// stored height and width where above 100 pixels, the current ones
// otherwise, and the stored corner pulled back onto the screens by that size
// (pullBack). None when the pulled-back corner lies off the desktop: the
// window then stays where it is.
std::optional<FormGeometry> storedplacement(const FormGeometry& stored, const FormGeometry& current,
                                            const QRect& desktop, const QRect& workArea);
// True for a form whose size cannot change.
bool isfixedsize(const QWidget* form);

// The running program's settings file, to pass to the layout operations when
// several run in a row. Nothing is held open: every read and write goes to the
// file at once.
std::unique_ptr<platform::IniFile> opensettingsfile();
// Lets go of a settings file object.
void freeinifile(std::unique_ptr<platform::IniFile>& ini);

// Sizes, places and maximises the form from the settings file, then applies
// its layout (loadformlayout). Run once the form has been shown and its
// resizer has taken its design geometry, and again by the menu's reset
// actions. A form maximised at this moment only gets its layout. Without a
// stored geometry the form takes formdefaultgeometry; the stored bounds are
// the frame's (outergeometry); a stored one is pulled back
// onto the screens and applied only when its corner lies on the desktop, and
// a stored height or width only when above 100 pixels. Nothing is written.
void loadformposition(platform::TForm* form);

// Stores the form's geometry and layout; run from the form's close event.
// A revert request ("Request" = 1 in the revert section) is carried out
// instead: the revert section is erased and nothing else is stored. The
// geometry stored is the frame's, in the same edges loadformposition applies
// it to; a maximised window stores its normal geometry (where un-maximising
// returns to) and "MAX" = 1. One whose corner lies off the desktop or whose
// height or width is 100 pixels or less stores only "MAX"; the last stored
// geometry stays. No fonts are written here. A write that fails is tried once
// more after 500 ms; returns 0, or the code of the write that failed the
// second time (the settings file is then as it was before that write; the
// writes before it stand).
[[nodiscard]] int saveformposition(platform::TForm* form);

// Writes the column widths of the form's list views and string grids, the
// active page of its page controls, and the fonts of the sections named in
// `fontlist` (compared without regard to case), into `ini` or, when null,
// the running program's settings file. A list view or grid of zero width
// writes no widths (the stored ones stay). Returns 0, or the code of the first
// write that failed; nothing is written after it.
[[nodiscard]] int saveformlayout(platform::TForm* form, platform::IniFile* ini, const QStringList& fontlist);

// Applies the stored layout to the form from `ini` or, when null, the
// running program's settings file: the form's font (or the main form's, for
// another form with none stored), the fonts and column widths of list views,
// tree views, button groups and string grids, the active pages, and lets the
// simple controls of default appearance follow the form's font. The form's
// resizers (formresizer.h) then scale each of those fonts from what was put
// on: a stored size holds at the window's current size and grows and shrinks
// with the window from there, one without scales from its design size
// (TFormResizer::settleFont). Appends to `fontlist` every section that stores
// a "FontSize". A missing or unreadable file applies the defaults.
void loadformlayout(platform::TForm* form, platform::IniFile* ini, QStringList& fontlist);

}  // namespace vek
