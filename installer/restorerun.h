#pragma once
// The restoring run (RESTORE=name GENERATION=n): one backup generation put
// back as the current file, without the window, told to a reporter.
#include "installer/runreporter.h"
#include "installer/runrequest.h"

namespace installer {

// Puts the generation back. A value that cannot be right is warned about
// with what would be, before anything is looked for; a failed restore is
// warned about; a done one is told as "Restored generation N of NAME in
// LOCAL". Returns 0 when that generation is the current file now, else 1.
int runrestore(const RunRequest& run, RunReporter& reporter);

}  // namespace installer
