#include "lib/messagehook.h"

#include "lib/hook.h"

#include <QDebug>

namespace vek {
namespace {
Hook<void(const QString&, const QString&)>& warningHook()
{
    static Hook<void(const QString&, const QString&)> hook;
    return hook;
}
}  // namespace

void setwarningcall(WarningCall call)
{
    warningHook().install(std::move(call));
}

WarningCall warningcall()
{
    return warningHook().current();
}

void libwarning(const QString& message, const QString& title)
{
    warningHook().callOr([](const QString& text, const QString&) { qWarning().noquote() << text; }, message, title);
}

QString unattendedmessageline(const QString& kind, const QString& title, const QString& message, const QString& answer)
{
    QString line = kind + QLatin1String(": ");
    if (!title.isEmpty())
        line += title + QLatin1String(" - ");
    return line + message + QLatin1String(" [answered ") + answer + QLatin1String("]\n");
}

}  // namespace vek
