#pragma once
// Where the form menu asks the user for a font or a file name and hands text
// to the clipboard. Normally the font dialog, the save-file dialog and the
// system clipboard; tests put their own answers in place.
#include <QFont>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vek {

// The point sizes the font dialog of the form menu offers.
inline constexpr int kMenuFontMinSize = 6;
inline constexpr int kMenuFontMaxSize = 24;

struct FormMenuOverride {
    // The font chosen over `parent`, starting at `initial`; none when the
    // user cancels.
    std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> choosefont;
    // The file to save to, or empty when the user cancels.
    std::function<QString(QWidget* parent, const QString& filter, const QString& defaultExtension,
                          const QString& suggested)>
        savefilename;
    std::function<void(const QString& text)> clipboardtext;
};
// Replaces the calls that are set in `calls`; an empty override restores the
// real dialogs and clipboard.
void overrideformmenu(FormMenuOverride calls);
FormMenuOverride formmenuoverride();

// The font dialog over `parent`, starting at `initial`, its sizes limited to
// 6 to 24 points (a size typed outside them is brought within); none when
// cancelled.
std::optional<QFont> askfont(QWidget* parent, const QFont& initial);
// The save-file dialog over `parent`. `filter` is written the family's way,
// pairs of description and pattern joined by "|" ("CSV file|*.CSV|Text
// file|*.txt"); `defaultExtension` (without dot) is added to a name typed
// without one. Empty when cancelled.
QString asksavefile(QWidget* parent, const QString& filter, const QString& defaultExtension, const QString& suggested);
// Puts the text on the clipboard.
void setclipboardtext(const QString& text);

// The override for one test: put back when it goes.
class FormMenuScope {
public:
    explicit FormMenuScope(FormMenuOverride calls) : saved_(formmenuoverride()) { overrideformmenu(std::move(calls)); }
    ~FormMenuScope() { overrideformmenu(saved_); }
    FormMenuScope(const FormMenuScope&) = delete;
    FormMenuScope& operator=(const FormMenuScope&) = delete;

private:
    FormMenuOverride saved_;
};

}  // namespace vek
