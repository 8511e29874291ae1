#include "installer/runbody.h"

#include "installer/consolereporter.h"
#include "installer/installprogram.h"
#include "installer/recordfilesdir.h"
#include "installer/restorerun.h"
#include "installer/unattendedrun.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "lib/messagehook.h"
#include "lib/serverindex.h"
#include "platform/runargs.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

namespace installer {
namespace {

const QString kNoDisplay = QStringLiteral(
    "TessarineInstaller: the window needs a display, and there is none (DISPLAY and WAYLAND_DISPLAY are "
    "empty).\nGive INSTALL=name to install one program, or RESTORE=name GENERATION=n to put a backup back, "
    "without the window.\n");

}  // namespace

QStringList argumentsof(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(platform::decodeArgument(argv[i]));
    return args;
}

std::optional<int> answerbeforerun(const QStringList& args, const RunRequest& run, bool headless,
                                   const MakeIndexCall& makeindex)
{
    if (const std::optional<CommandLineAnswer> answer = answerCommandLineOptions(args, makeindex)) {
        std::fputs(answer->out.toLocal8Bit().constData(), stdout);
        std::fputs(answer->err.toLocal8Bit().constData(), stderr);
        return answer->status;
    }
    if (headless && run.kind() == RunKind::Interactive) {
        std::fputs(kNoDisplay.toLocal8Bit().constData(), stderr);
        return kNoDisplayStatus;
    }
    return std::nullopt;
}

void settlerun(const RunRequest& run)
{
    vek::setdatafolderbase(run.dataFolderBase);
    if (run.lockWaitSeconds >= 0)
        vek::setfolderlockwait(std::chrono::seconds(run.lockWaitSeconds));
    // A wait for another run's lock is told on the error output, once; the
    // window tells it on its label instead while it stands.
    vek::folderlockwaitnotice().install([](const QString& folder, bool first) {
        if (first)
            std::fputs((kWaitingForFolderPrefix + folder + u'\n').toLocal8Bit().constData(), stderr);
    });
}

bool needswebroad(const RunRequest& run)
{
    return run.kind() == RunKind::Unattended && vek::iswebfolder(settledserverfolder(run));
}

int runwithoutdisplay(int argc, char** argv, const RunRequest& run)
{
    QCoreApplication app(argc, argv);
    vek::maketempfolder();
    vek::setwarningcall(&writewarningline);
    ConsoleReporter reporter;
    switch (run.kind()) {
    case RunKind::Recording:
        (void)recordfilesdir(run.filesDirContents, run.filesDirName);  // a recording run reports nothing
        return kRunDoneStatus;
    case RunKind::Restoring:
        return runrestore(run, reporter);
    case RunKind::Unattended:
        return rununattended(run, reporter);
    case RunKind::Interactive:
        break;
    }
    return kNoDisplayStatus;  // refused before: the window needs a display
}

}  // namespace installer
