#include "lib/messagehook.h"

#include <QDebug>

namespace vek {
namespace {
WarningCall& installedCall()
{
    static WarningCall call;
    return call;
}
}  // namespace

void setwarningcall(WarningCall call)
{
    installedCall() = std::move(call);
}

void libwarning(const QString& message, const QString& title)
{
    if (installedCall())
        installedCall()(message, title);
    else
        qWarning().noquote() << message;
}

}  // namespace vek
