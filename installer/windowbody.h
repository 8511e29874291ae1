#pragma once
// The whole program as a part the small program body loads when a run needs
// it (installer/windowhandover.h): the window, and the roads to web servers.

// The name the part's entry point is found by.
#define TESSARINE_WINDOW_ENTRY "tessarinewindowmain"

extern "C" {
// Runs what the arguments ask, as the program would: --make-index (the
// option the small body hands on), with a display the installer window, which
// shows an unattended run as this runs it, without one the run told on the
// error and standard output. The exit status.
using TessarineWindowMain = int (*)(int argc, char** argv);
}
