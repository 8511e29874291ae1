// Main of the test programs of dialogs/ and installer/: messages go through
// the family's dialogs, and the run counts as unattended, so that a message no
// test answered is written to stderr instead of waiting for a click.
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "testmain.h"

int main(int argc, char** argv)
{
    return testsupport::runalltests(argc, argv, [] {
        vek::installmessagecalls();
        vek::setunattended(true);
    });
}
