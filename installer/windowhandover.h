#pragma once
// The small program body hands a run to the whole program (installer/windowbody.h),
// a part it loads only then: beside the program file in a build, in the
// program's private library folder where it is installed.

namespace installer {

// Loads the whole program and runs it with the program's arguments: its exit
// status, or kNoDisplayStatus with a message on the error output when the part
// cannot be loaded.
int handovertowindow(int argc, char** argv);

}  // namespace installer
