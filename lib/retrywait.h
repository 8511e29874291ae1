#pragma once
// The family's wait between two tries at opening a file: a random pause of up
// to 999 ms, so that two programs fighting over one file fall out of step.

namespace vek {

void waitbeforeretry();
// The wait before the second try at a save that failed: `milliseconds`, or
// the cap below when that is less.
void waitbeforesaveretry(int milliseconds);
// Caps both pauses (tests set 0 so that a refused open or save costs no seconds).
void setretrywaitlimit(int milliseconds);
int retrywaitlimit();

}  // namespace vek
