#include "installer/consolereporter.h"

#include "dialogs/answerseam.h"

#include <QTextStream>

#include <cstdio>

namespace installer {

void writewarningline(const QString& message, const QString& title)
{
    const vek::ShownMessage warning{vek::mtWarning, title, message, {vek::mbOK}, vek::mbOK};
    std::fputs(vek::unattendedline(warning, vek::mbOK).toLocal8Bit().constData(), stderr);
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
