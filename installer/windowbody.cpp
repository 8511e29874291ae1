// The whole program: the installer window, the family's dialogs and the
// transfer component. The small program body hands it every run that needs
// one of them; it is loaded then and never otherwise.
#include "installer/windowbody.h"

#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "forms/formmenu.h"
#include "installer/TessarineInstallu.h"
#include "installer/consolereporter.h"
#include "installer/httpwebroad.h"
#include "installer/recordfilesdir.h"
#include "installer/restorerun.h"
#include "installer/runbody.h"
#include "installer/unattendedrun.h"
#include "lib/folders.h"
#include "platform/headless.h"
#include "web/webdownloads.h"

#include <QApplication>
#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// With a display: the window, which shows an unattended run as the body runs it.
int runwithdisplay(int argc, char** argv, const installer::RunRequest& run)
{
    settleruntimefolder();
    QApplication app(argc, argv);
    vek::maketempfolder();
    vek::installmessagecalls();
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

extern "C" __attribute__((visibility("default"))) int tessarinewindowmain(int argc, char** argv)
{
    // This part keeps its own copy of the libraries' state: the parameters
    // are read and settled again here, as the small body did for itself.
    const QStringList args = installer::argumentsof(argc, argv);
    const installer::RunRequest run = installer::parseRunRequest(args);
    const bool headless = platform::isheadless();
    if (const std::optional<int> answered = installer::answerbeforerun(args, run, headless, installer::makeindexanswer))
        return *answered;
    installer::settlerun(run);
    installer::setwebroad(&installer::httpwebroad());
    vek::installdownloadcall();
    return headless ? installer::runwithoutdisplay(argc, argv, run) : runwithdisplay(argc, argv, run);
}
