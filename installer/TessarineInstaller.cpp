// The program body: the installer window is the main window, and the program
// ends when it closes. The exit status tells an unattended run's caller whether
// its program was installed. A restoring run puts one backup generation back
// without the window. --help and --version are answered first, with or
// without a display.
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "forms/formmenu.h"
#include "installer/TessarineInstallu.h"
#include "installer/commandline.h"
#include "installer/restoregeneration.h"
#include "installer/restorerequest.h"
#include "installer/runrequest.h"
#include "lang/langstate.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "platform/headless.h"
#include "platform/runargs.h"
#include "web/webdownloads.h"

#include <QApplication>
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

// RESTORE=name GENERATION=n: 0 when that generation is the current file now.
int restorerun(const installer::RunRequest& run)
{
    // A value that cannot be right is named with what would be, before
    // anything is looked for.
    if (const QString problem = installer::restorerequestproblem(run.restoreName, run.generationText);
        !problem.isEmpty()) {
        (void)vek::dlgmessage(problem, vek::mtWarning, {vek::mbOK}, 0, vek::mbOK);  // OK is the only answer
        return 1;
    }
    const QString local = run.localFolder.isEmpty() ? vek::exefolder() : run.localFolder;
    const installer::InstallOutcome outcome = installer::restoregeneration(local, run.restoreName, run.generation);
    if (!outcome.installed) {
        // No window stands: the family's dialog alone shows it, or stderr without a display.
        (void)vek::dlgmessage(outcome.message, vek::mtWarning, {vek::mbOK}, 0, vek::mbOK);  // OK is the only answer
        return 1;
    }
    QTextStream(stdout) << "Restored generation " << run.generation << " of " << outcome.name << " in " << local
                        << Qt::endl;
    return 0;
}

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

}  // namespace

int main(int argc, char** argv)
{
    // Decided before the application object exists: without a display the
    // toolkit would abort on its way up, before any message could be given.
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
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    settleruntimefolder();

    if (run.lockWaitSeconds >= 0)
        vek::setfolderlockwait(std::chrono::seconds(run.lockWaitSeconds));
    // Without a window, a wait for another run's lock is told on the error
    // output; the window tells it on its label instead.
    vek::folderlockwaitnotice().install([](const QString& folder, bool first) {
        if (first)
            std::fputs((installer::kWaitingForFolderPrefix + folder + u'\n').toLocal8Bit().constData(), stderr);
    });

    QApplication app(argc, argv);
    vek::maketempfolder();
    vek::installmessagecalls();
    vek::installdownloadcall();
    if (run.kind() == installer::RunKind::Restoring) {
        vek::setunattended(true);
        return restorerun(run);
    }

    installer::TInstallfm form(run);
    platform::TForm::setMainForm(&form);
    // Nobody waits at the screen of an unattended run: without a display its
    // messages go to the error output instead of waiting for a click.
    vek::setunattended(run.kind() == installer::RunKind::Unattended);
    // LANGUAGE= is settled by the window once it is shown, so that a refused
    // code is reported over it.
    vek::setlanguagesallowed(run.languagesAllowed);
    form.show();
    app.exec();
    return form.exitstatus();
}
