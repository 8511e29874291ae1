#include "installer/runkind.h"

#include "lib/params.h"

RunKind runkindof(const QStringList& args)
{
    QString value;
    if (vek::paramof(args, QStringLiteral("FILESDIRCONTENTS"), value) && !value.isEmpty())
        return RunKind::Recording;
    if (vek::paramof(args, QStringLiteral("INSTALL"), value) && !value.isEmpty())
        return RunKind::Unattended;
    return RunKind::Interactive;
}
