// The program body: the installer window is the main window, and the program
// ends when it closes. The exit status tells an unattended run's caller whether
// its program was installed.
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"
#include "installer/TessarineInstallu.h"
#include "lib/folders.h"
#include "lib/params.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vek::maketempfolder();
    vek::installmessagecalls();

    TInstallfm form;
    platform::TForm::setMainForm(&form);
    // Nobody waits at the screen of an unattended run: without a display its
    // messages go to the error output instead of waiting for a click.
    QString install;
    vek::getparam(QStringLiteral("INSTALL"), install);
    vek::setunattended(!install.isEmpty());
    form.show();
    app.exec();
    return form.exitstatus();
}
