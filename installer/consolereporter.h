#pragma once
// The reporter of a run without a display: each warning on the error output
// as the family's message calls write it there for a run nobody watches
// ("Warning: ... [answered OK]"), each line for the caller on the standard
// output. Nothing of it needs the window toolkit.
#include "installer/runreporter.h"

#include <QString>

namespace installer {

class ConsoleReporter : public RunReporter {
public:
    void warn(const QString& message) override;
    void tell(const QString& line) override;
    void starting(int, int, const QString&) override {}
    void copying(int, int, qint64, qint64) override {}
    void finished(int, int, const InstallOutcome&) override {}
};

// Writes a warning (with its title, when it has one) to the error output as
// ConsoleReporter does: the library's warning call of a run without a display.
void writewarningline(const QString& message, const QString& title);

}  // namespace installer
