#include "lib/focus.h"

#include <QCoreApplication>
#include <QWidget>

namespace vek {

void safefocus(QWidget* control)
{
    if (control && control->isVisible() && control->isEnabled() && control->focusPolicy() != Qt::NoFocus) {
        control->setFocus(Qt::OtherFocusReason);
        return;
    }
    QCoreApplication::processEvents();
}

}  // namespace vek
