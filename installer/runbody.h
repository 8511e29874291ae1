#pragma once
// What the program body does before and without the window, shared by its
// two parts: the small program that every run starts (Qt Core and the install
// road alone, so that an unattended install costs the process start and the
// copy) and the whole program it hands a run to when the run needs the window
// or a web server (installer/windowbody.cpp).
#include "installer/commandline.h"
#include "installer/runrequest.h"

#include <QStringList>

#include <optional>

namespace installer {

// Exit status of a run that needs a display where there is none, and of a
// program that could not bring up its window part.
inline constexpr int kNoDisplayStatus = 2;

// The program's arguments as the run parameters read them; a file name's
// bytes survive.
QStringList argumentsof(int argc, char** argv);

// What is answered before any run: --help, --version and --make-index (by
// `makeindex`), and a window asked for where there is no display (refused
// with a message). The exit status when it was answered here, none when the
// run goes on.
std::optional<int> answerbeforerun(const QStringList& args, const RunRequest& run, bool headless,
                                   const MakeIndexCall& makeindex);

// Settles what the run parameters ask of the whole process: the data
// folder's base, the wait for another run's lock, and a wait that stands told
// once on the error output.
void settlerun(const RunRequest& run);

// Whether the run needs the part of the program that reaches web servers:
// an unattended install from a server folder given by web address.
bool needswebroad(const RunRequest& run);

// Without a display: the run told on the error output (each message as the
// family's message calls write it for a run nobody watches) and the standard
// output, with the core application alone. The exit status.
int runwithoutdisplay(int argc, char** argv, const RunRequest& run);

}  // namespace installer
