#include "installer/consolereporter.h"

#include "lib/messagehook.h"

#include <QTextStream>

#include <cstdio>

namespace installer {

void writewarningline(const QString& message, const QString& title)
{
    // As the family's dialog writes a warning that its OK button answered.
    const QString line = vek::unattendedmessageline(QStringLiteral("Warning"), title, message, QStringLiteral("OK"));
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void ConsoleReporter::warn(const QString& message)
{
    writewarningline(message, QString());
}

void ConsoleReporter::tell(const QString& line)
{
    QTextStream(stdout) << line << Qt::endl;
}

}  // namespace installer
