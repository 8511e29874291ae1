#pragma once
// What every message dialog is made of: its kind, the twelve buttons in
// their fixed order, and the result code each button answers with.
#include "platform/controls/tform.h"

#include <QMessageBox>
#include <QString>
#include <QStyle>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace vek {

enum TMsgDlgType : int { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In the order the buttons stand in a dialog, left to right.
// A fixed underlying type: callers may hand in any number as a button, and
// such a value must be safe to hold until it is found not to be one.
enum TMsgDlgBtn : int {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose,
};
constexpr int buttonkindcount = 12;

// A set of buttons: bit i stands for the i-th button.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn button : buttons)
            bits_ |= bit(button);
    }
    static constexpr TMsgDlgButtons fromBits(std::uint16_t bits)
    {
        TMsgDlgButtons set;
        set.bits_ = bits;
        return set;
    }
    constexpr std::uint16_t bits() const { return bits_; }
    constexpr bool contains(TMsgDlgBtn button) const { return (bits_ & bit(button)) != 0; }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;

private:
    static constexpr std::uint16_t bit(TMsgDlgBtn button) { return static_cast<std::uint16_t>(1u << button); }
    std::uint16_t bits_ = 0;
};

// The result codes are the forms' modal results (platform::TModalResult): OK
// 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7, Close 8, All 12, No to
// All 13, Yes to All 14; Help answers 0, which does not close a dialog.

// Whether `value` is one of the twelve buttons. A value outside them gives an
// empty name and caption and the result 0 below.
bool isbuttonkind(int value);
// How each kind of message shows: its word where a message is written out as
// text, its icon in the family's dialog, and the icon of the toolkit's own box.
struct MessageKind {
    const char* name;
    QStyle::StandardPixmap icon;
    QMessageBox::Icon boxIcon;
};
// A value outside the five kinds shows as a warning.
const MessageKind& messagekind(TMsgDlgType kind);

// The component name of the button ("Yes", "NoToAll", ...).
QString buttonname(TMsgDlgBtn button);
// The caption, with "&" before the accelerator key.
QString buttoncaption(TMsgDlgBtn button);
int buttonresult(TMsgDlgBtn button);
// The button of that component name, if any.
std::optional<TMsgDlgBtn> buttonnamed(const QString& name);

}  // namespace vek
