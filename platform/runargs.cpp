#include "platform/runargs.h"

#include "platform/pathbytes.h"

#include <QCoreApplication>
#include <QFile>

namespace platform {
namespace {
std::optional<QStringList> g_override;

// The command line as the kernel keeps it, each parameter decoded as file
// names are: a byte that is not UTF-8 stays that byte, so that a parameter
// naming a file finds it. Empty where it cannot be read.
QStringList processArguments()
{
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    QStringList args;
    for (const QByteArray& arg : bytes.split('\0'))
        args.append(decodeArgument(arg));
    return args;
}

}  // namespace

QString decodeArgument(const QByteArray& bytes)
{
    return decodePath(bytes);
}

QStringList runArguments()
{
    if (g_override)
        return *g_override;
    QStringList args = processArguments();
    if (args.isEmpty())
        args = QCoreApplication::arguments();
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
