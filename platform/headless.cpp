#include "platform/headless.h"

#include <QString>
#include <QtGlobal>

namespace platform {

bool isheadless()
{
    // "offscreen" may carry options after a colon ("offscreen:fontconfig").
    if (qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen")))
        return true;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace platform
