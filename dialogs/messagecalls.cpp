#include "dialogs/messagecalls.h"

#include "dialogs/answerseam.h"
#include "dialogs/blockformu.h"
#include "dialogs/vekdialogu.h"
#include "lib/messagehook.h"
#include "platform/controls/activeform.h"

#include <QApplication>
#include <QPointer>

namespace vek {
namespace {

constexpr int smallestCallingSide = 150;

// A dialog for one call. Its owner window may be destroyed while the dialog
// runs (and take the dialog with it), so it is held by a guarded pointer.
class CallDialog {
public:
    explicit CallDialog(QWidget* owner) : dialog_(new TVekDialogFrm(owner)) {}
    ~CallDialog() { delete dialog_.data(); }
    CallDialog(const CallDialog&) = delete;
    CallDialog& operator=(const CallDialog&) = delete;
    TVekDialogFrm* operator->() const { return dialog_.data(); }
    TVekDialogFrm* get() const { return dialog_.data(); }

private:
    QPointer<TVekDialogFrm> dialog_;
};

unsigned overlaid(QWidget* callingForm, platform::TForm* subForm)
{
    QPointer<QWidget> calling = callingForm;
    QPointer<TBlockFrm> overlay = new TBlockFrm(callingForm);
    const unsigned result = overlay->ShowForm(callingForm, subForm);
    delete overlay.data();
    if (calling && calling->isVisible())
        calling->activateWindow();
    return result;
}

QWidget* callingWindowFor(const QWidget* active)
{
    if (active && active->width() >= smallestCallingSide && active->height() >= smallestCallingSide)
        return const_cast<QWidget*>(active);
    return platform::TForm::mainForm();
}

// A message with no window to lay over (a restoring run has none): the
// family's dialog on its own, in the middle of the screen, so that it looks
// as every other message does.
int standalonedialog(TVekDialogFrm* dialog)
{
    return dialog->exec();
}

}  // namespace

void warnmessage(const QString& message, const QString& title)
{
    showdlgmessage(message, true, title);
}

void showdlgmessage(const QString& message, bool warning, const QString& title)
{
    CallDialog dialog(nullptr);
    if (warning) {
        dialog->setDlgType(mtWarning);
        dialog->setMessageStr(message);
        dialog->setTitleStr(title);
    } else {
        dialog->setDlgType(mtInformation);
        dialog->setMessageStr(message);
        dialog->setTitleStr(QString());
    }
    dialog->setButtons({mbOK});
    dialog->setDefaultBtn(mbOK);
    if (answerwithoutuser(*dialog.get()))
        return;
    QWidget* calling = callingWindowFor(platform::activeform());
    if (!calling)
        return;
    recordshown(*dialog.get());
    overlaid(calling, dialog.get());
}

int dlgmessage(const QString& message, TMsgDlgType kind, TMsgDlgButtons buttons, int /*helpContext*/,
               TMsgDlgBtn defaultButton)
{
    QWidget* active = platform::activeform();
    CallDialog dialog(active);
    dialog->setMessageStr(message);
    dialog->setTitleStr(QString());
    dialog->setDlgType(kind);
    dialog->setButtons(buttons);
    dialog->setDefaultBtn(defaultButton);
    if (const std::optional<int> answer = answerwithoutuser(*dialog.get()))
        return *answer;
    recordshown(*dialog.get());
    if (!active)
        return standalonedialog(dialog.get());
    return static_cast<int>(overlaid(active, dialog.get()));
}

QChar askyesno(const QString& message, QChar defaultAnswer)
{
    const TMsgDlgBtn preset = defaultAnswer == QLatin1Char('0') ? mbNo : mbYes;
    const int result = dlgmessage(message, mtConfirmation, {mbYes, mbNo}, 0, preset);
    return result == platform::mrYes ? QLatin1Char('1') : QLatin1Char('0');
}

unsigned showoverform(QWidget* callingForm, platform::TForm* subForm)
{
    if (!callingForm)
        return 0;
    if (auto* dialog = qobject_cast<TVekDialogFrm*>(subForm)) {
        if (const std::optional<int> answer = answerwithoutuser(*dialog))
            return static_cast<unsigned>(*answer);
        recordshown(*dialog);
    }
    return overlaid(callingForm, subForm);
}

void installmessagecalls()
{
    setwarningcall([](const QString& message, const QString& title) { warnmessage(message, title); });
}

}  // namespace vek
