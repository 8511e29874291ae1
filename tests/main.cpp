// Main of the test programs of the layers below the dialogs (platform/,
// lib/): they link no dialog, and the library's warnings go to the log.
#include "testmain.h"

int main(int argc, char** argv)
{
    return testsupport::runalltests(argc, argv, [] {});
}
