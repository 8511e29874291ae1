#pragma once
// The blocking overlay: a borderless, tinted, translucent form laid over a
// calling window while a dialog is open on top of it. It keeps the user from
// the window and centres the dialog over it. Its second use shows a copy of
// one panel of a window as a small modal pop-up and writes what the user
// changed back into the panel when the pop-up closes.
#include "platform/controls/tform.h"

#include <QPixmap>
#include <QPointer>
#include <QRect>

namespace platform {
class TPanel;
class TTimer;
}  // namespace platform

namespace vek {

class TBlockFrm : public platform::TForm {
    Q_OBJECT
public:
    // Owned by the calling form; the caller frees it after one use.
    explicit TBlockFrm(QWidget* owner);

    // Covers the calling window (at least 300 x 250) and shows the dialog
    // modally in its middle. The result is the dialog's; 2 when it could not
    // be shown.
    unsigned ShowForm(QWidget* aCallingForm, platform::TForm* aSubForm);
    // Shows a copy of `aPanel` at (x, y) from the calling window's corner.
    // `subPanel` receives the copy; it lives as long as the overlay.
    unsigned ShowPanel(QWidget* aCallingForm, platform::TPanel* aPanel, int x, int y, platform::TPanel*& subPanel);

    // Panel mode: the copies' values go back to the source panel on every
    // close, whatever the result.
    void done(int result) override;

    platform::TPanel* AP;
    platform::TTimer* Timer;

protected:
    void showEvent(QShowEvent* event) override;
    // Cover mode: the covered window's picture under the cover's colour at
    // the cover's opacity, drawn by the overlay itself.
    void paintEvent(QPaintEvent* event) override;
    // Follows the calling window when it is moved or resized while covered.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TimerTimer();
    // Lays the cover over the calling window's client area as it is now.
    void coverCallingForm();
    unsigned runModal();

    QPointer<QWidget> pCallingForm;
    QPointer<platform::TPanel> pCallingPanel;
    QPointer<platform::TForm> pSubForm;
    bool Localform = false;
    // The calling window's client area on the screen when the overlay was laid.
    QRect callingArea_;
    // What the covered window showed then.
    QPixmap coveredPicture_;
};

// The calling window's client area in screen coordinates.
QRect clientarea(const QWidget* form);

}  // namespace vek
