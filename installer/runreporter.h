#pragma once
// Whoever tells the user how a run without the user goes: the window when
// there is a display, the error output and the standard output when there
// is none. The runs themselves (installer/unattendedrun.h,
// installer/restorerun.h) only report; they never show anything.
#include "installer/installrun.h"

#include <QString>

namespace installer {

class RunReporter : public InstallObserver {
public:
    // A message for the user: what the run could not do, and why. It waits
    // until the user has read it where someone can.
    virtual void warn(const QString& message) = 0;
    // One line for the run's caller about what the run did.
    virtual void tell(const QString& line) = 0;
    // The install of an unattended run is over (it was tried): a window
    // showing it closes now.
    virtual void runfinished() {}
};

}  // namespace installer
