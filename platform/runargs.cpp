#include "platform/runargs.h"

#include <QCoreApplication>

namespace platform {
namespace {
std::optional<QStringList> g_override;
}

QStringList runArguments()
{
    if (g_override)
        return *g_override;
    QStringList args = QCoreApplication::arguments();
    if (args.isEmpty())
        args.append(QString());
    if (QCoreApplication::instance())
        args[0] = QCoreApplication::applicationFilePath();
    return args;
}

void setRunArguments(const QStringList& arguments)
{
    g_override = arguments;
}

void clearRunArguments()
{
    g_override.reset();
}

std::optional<QStringList> runArgumentsOverride()
{
    return g_override;
}

}  // namespace platform
