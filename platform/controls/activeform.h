#pragma once
// The active form: the window the user works in. That is the application's
// active window; while there is none (another program is in front, or the
// window system has not yet handed the activation back after a dialog
// closed) it is the window that was active last and is still shown.
class QWidget;

namespace platform {

QWidget* activeform();

}  // namespace platform
