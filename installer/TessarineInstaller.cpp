// The program body every run starts: it reads the run parameters once, then
// runs what they ask. Without a display an unattended install from a folder
// on a disk, a recording run and a restoring run are the core's runs told on
// the error and standard output, with nothing but Qt Core loaded: an install
// of a small program costs the process start and the copy. A run that needs
// the window (a display is there) or a web server is handed to the whole
// program, which this body loads only then. The exit status tells an
// unattended or restoring run's caller whether its program was put in place.
// --help and --version are answered first, with or without a display;
// --make-index is handed on too.
#include "installer/runbody.h"
#include "installer/windowhandover.h"
#include "platform/headless.h"

int main(int argc, char** argv)
{
    // Every run parameter is read here, once. Decided before the application
    // object exists: without a display the toolkit would abort on its way up,
    // before any message could be given.
    const QStringList args = installer::argumentsof(argc, argv);
    const installer::RunRequest run = installer::parseRunRequest(args);
    const bool headless = platform::isheadless();
    // The index maker is the whole program's: its digests are the transfer
    // component's, which this body does not load.
    const auto makeindexinwholeprogram = [&](const QString&) {
        return installer::CommandLineAnswer{installer::handovertowindow(argc, argv), {}, {}};
    };
    if (const std::optional<int> answered = installer::answerbeforerun(args, run, headless, makeindexinwholeprogram))
        return *answered;
    if (!headless || installer::needswebroad(run))
        return installer::handovertowindow(argc, argv);
    installer::settlerun(run);
    return installer::runwithoutdisplay(argc, argv, run);
}
