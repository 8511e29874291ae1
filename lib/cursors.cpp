#include "lib/cursors.h"

#include <QApplication>
#include <QCursor>

namespace vek {

void busycursor()
{
    if (!QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
}

void normalcursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

}  // namespace vek
