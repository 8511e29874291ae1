#pragma once
// The family's wait between two tries at opening a file: a random pause of up
// to 999 ms, so that two programs fighting over one file fall out of step.

namespace vek {

void waitbeforeretry();
// Caps the pause (tests set 0 so that a refused open costs no seconds).
void setretrywaitlimit(int milliseconds);
int retrywaitlimit();

}  // namespace vek
