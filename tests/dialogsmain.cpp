// Main of the test programs of dialogs/ and the folders above it: messages go
// through the family's dialogs, and the run counts as unattended, so that a
// message no test answered is written to stderr instead of waiting for a
// click. A refused open or save is tried again at once: the waits between
// tries are the family's, and no test here is about their length (a test
// that is sets its own RetryWaitScope).
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "lib/retrywait.h"
#include "testmain.h"

int main(int argc, char** argv)
{
    return testsupport::runalltests(argc, argv, [] {
        vek::installmessagecalls();
        vek::setunattended(true);
        vek::setretrywaitlimit(0);
    });
}
