// The program body: it reads the run parameters once, then runs what they
// ask. Without a display an unattended install, a recording run and a
// restoring run are the core's runs told on the error and standard output,
// with nothing of the window toolkit brought up. With one, the installer
// window is the main window and the program ends when it closes; in an
// unattended run the window shows the install that this body runs. The exit
// status tells an unattended or restoring run's caller whether its program
// was put in place. --help and --version are answered first, with or without
// a display.
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "forms/formmenu.h"
#include "installer/TessarineInstallu.h"
#include "installer/commandline.h"
#include "installer/consolereporter.h"
#include "installer/recordfilesdir.h"
#include "installer/restorerun.h"
#include "installer/runrequest.h"
#include "installer/unattendedrun.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "lib/messagehook.h"
#include "platform/headless.h"
#include "platform/runargs.h"
#include "web/webdownloads.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNoDisplayStatus = 2;

QStringList argumentsof(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(platform::decodeArgument(argv[i]));  // a file name's bytes survive
    return args;
}

// A restoring run with a display has no window: the family's dialog alone
// shows its message.
class DialogReporter : public installer::ConsoleReporter {
public:
    void warn(const QString& message) override
    {
        (void)vek::dlgmessage(message, vek::mtWarning, {vek::mbOK}, 0, vek::mbOK);  // OK is the only answer
    }
};

// A run without a login session (cron, ssh, a service) has no
// XDG_RUNTIME_DIR, and the toolkit warns about it on the error output, where
// an unattended run's caller reads only our messages. Give it the private
// folder it would fall back to itself, made the way it wants it (ours alone,
// 0700); a folder there that is not ours is left to the toolkit.
void settleruntimefolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray folder = QDir::tempPath().toLocal8Bit() + "/runtime-tessarine-" + QByteArray::number(getuid());
    (void)::mkdir(folder.constData(), 0700);  // an existing one is checked below
    struct stat st {};
    if (::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return;
    if ((st.st_mode & 0777) != 0700 && ::chmod(folder.constData(), 0700) != 0)
        return;
    qputenv("XDG_RUNTIME_DIR", folder);
}

// Without a display: the run told on the error output (each message as the
// family's message calls write it for a run nobody watches) and the standard
// output. The core application alone, no window toolkit: an install of a
// small program costs the process start and the copy.
int runwithoutdisplay(int argc, char** argv, const installer::RunRequest& run)
{
    QCoreApplication app(argc, argv);
    vek::maketempfolder();
    vek::setwarningcall(&installer::writewarningline);
    vek::installdownloadcall();
    installer::ConsoleReporter reporter;
    switch (run.kind()) {
    case installer::RunKind::Recording:
        (void)installer::recordfilesdir(run.filesDirContents, run.filesDirName);  // a recording run reports nothing
        return installer::kRunDoneStatus;
    case installer::RunKind::Restoring:
        return installer::runrestore(run, reporter);
    case installer::RunKind::Unattended:
        return installer::rununattended(run, reporter);
    case installer::RunKind::Interactive:
        break;
    }
    return kNoDisplayStatus;  // refused before: the window needs a display
}

// With a display: the window, which shows an unattended run as the body runs it.
int runwithdisplay(int argc, char** argv, const installer::RunRequest& run)
{
    settleruntimefolder();
    QApplication app(argc, argv);
    vek::maketempfolder();
    vek::installmessagecalls();
    vek::installdownloadcall();
    // Nobody waits at the screen of an unattended or restoring run, but a
    // display shows its messages all the same.
    vek::setunattended(run.kind() == installer::RunKind::Unattended || run.kind() == installer::RunKind::Restoring);
    if (run.kind() == installer::RunKind::Recording) {
        (void)installer::recordfilesdir(run.filesDirContents, run.filesDirName);  // a recording run reports nothing
        return installer::kRunDoneStatus;
    }
    if (run.kind() == installer::RunKind::Restoring) {
        DialogReporter reporter;
        return installer::runrestore(run, reporter);
    }

    installer::TInstallfm form(run);
    platform::TForm::setMainForm(&form);
    // LANGUAGE= is settled by the window once it is shown, so that a refused
    // code is reported over it.
    vek::setlanguagesallowed(run.languagesAllowed);
    form.show();
    if (run.kind() != installer::RunKind::Unattended) {
        app.exec();
        return installer::kRunDoneStatus;
    }
    // The window settles itself once it is shown; then it shows the run.
    QCoreApplication::processEvents();
    const int status = installer::rununattended(run, form);
    // A window that stays after a missing server folder is closed by the user.
    if (form.isVisible())
        app.exec();
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    // Every run parameter is read here, once. Decided before the application
    // object exists: without a display the toolkit would abort on its way up,
    // before any message could be given.
    const QStringList args = argumentsof(argc, argv);
    if (const std::optional<installer::CommandLineAnswer> answer = installer::answerCommandLineOptions(args)) {
        std::fputs(answer->out.toLocal8Bit().constData(), stdout);
        std::fputs(answer->err.toLocal8Bit().constData(), stderr);
        return answer->status;
    }
    const installer::RunRequest run = installer::parseRunRequest(args);
    const bool headless = platform::isheadless();
    if (headless && run.kind() == installer::RunKind::Interactive) {
        std::fputs(
            "TessarineInstaller: the window needs a display, and there is none (DISPLAY and WAYLAND_DISPLAY "
            "are empty).\nGive INSTALL=name to install one program, or RESTORE=name GENERATION=n to put a backup "
            "back, without the window.\n",
            stderr);
        return kNoDisplayStatus;
    }
    vek::setdatafolderbase(run.dataFolderBase);
    if (run.lockWaitSeconds >= 0)
        vek::setfolderlockwait(std::chrono::seconds(run.lockWaitSeconds));
    // A wait for another run's lock is told on the error output, once; the
    // window tells it on its label instead while it stands.
    vek::folderlockwaitnotice().install([](const QString& folder, bool first) {
        if (first)
            std::fputs((installer::kWaitingForFolderPrefix + folder + u'\n').toLocal8Bit().constData(), stderr);
    });
    return headless ? runwithoutdisplay(argc, argv, run) : runwithdisplay(argc, argv, run);
}
