#include "platform/runargs.h"

#include <QCoreApplication>
#include <optional>

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

}  // namespace platform
