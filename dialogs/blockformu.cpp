#include "dialogs/blockformu.h"

#include "dialogs/clonecontrols.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tstdctrls.h"

#include <QPainter>
#include <QShowEvent>
#include <cmath>

namespace vek {
namespace {

const QColor skyBlue(166, 202, 240);
const QColor mediumGrey(160, 160, 164);
constexpr float coverOpacity = 200.0f / 255.0f;
constexpr int minimumCoverWidth = 300;
constexpr int minimumCoverHeight = 250;
constexpr int dialogInset = 50;
constexpr int panelFrame = 5;

// A value outside the monitor is put on its near edge.
int keepOnMonitor(int position, int monitorStart, int monitorLength)
{
    if (position < monitorStart || position > monitorStart + monitorLength)
        return monitorStart;
    return position;
}

// Halves round to the even neighbour.
int half(int length)
{
    return static_cast<int>(std::lrint(length / 2.0));
}

}  // namespace

QRect clientarea(const QWidget* form)
{
    return QRect(form->mapToGlobal(QPoint(0, 0)), form->size());
}

TBlockFrm::TBlockFrm(QWidget* owner) : platform::TForm(owner)
{
    setObjectName(QStringLiteral("BlockFrm"));
    setColor(skyBlue);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(441, 199);
    AP = new platform::TPanel(this);
    AP->setObjectName(QStringLiteral("AP"));
    AP->setGeometry(254, 153, 185, 41);
    AP->setColor(mediumGrey);
    AP->setBevel(false);
    AP->hide();
    Timer = new platform::TTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1);
    Timer->setSingleShot(true);
    connect(Timer, &QTimer::timeout, this, &TBlockFrm::TimerTimer);
}

unsigned TBlockFrm::ShowForm(QWidget* aCallingForm, platform::TForm* aSubForm)
{
    if (!aCallingForm || !aSubForm)
        return platform::mrCancel;
    Localform = false;
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // The window's own opacity needs a compositing manager, and without one
    // the cover is a solid colour: the translucency is drawn here instead
    // (paintEvent), the same on every desktop.
    setWindowOpacity(1.0);

    pCallingForm = aCallingForm;
    pSubForm = aSubForm;
    coverCallingForm();
    raise();
    // The window system may still move the covered window (its title bar is
    // not covered): the cover and the dialog go with it.
    aCallingForm->installEventFilter(this);
    const unsigned result = runModal();
    if (pCallingForm)
        pCallingForm->removeEventFilter(this);
    return result;
}

void TBlockFrm::coverCallingForm()
{
    callingArea_ = clientarea(pCallingForm);
    // The covered window as it looks now, without the cover, the dialog or
    // anything else on top of it.
    coveredPicture_ = pCallingForm->grab();
    QRect cover(callingArea_.topLeft(),
                QSize(qMax(callingArea_.width(), minimumCoverWidth), qMax(callingArea_.height(), minimumCoverHeight)));
    const QRect monitor = platform::workarea(pCallingForm);
    cover.moveTo(keepOnMonitor(cover.left(), monitor.left(), monitor.width()),
                 keepOnMonitor(cover.top(), monitor.top(), monitor.height()));
    setGeometry(cover);
}

bool TBlockFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pCallingForm && !Localform && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        const QPoint before = geometry().topLeft();
        coverCallingForm();
        if (pSubForm && pSubForm->isVisible())
            pSubForm->move(pSubForm->pos() + (geometry().topLeft() - before));
    }
    // The window lays itself out again in its own handler of the resize,
    // after this filter: its picture is taken once it has.
    if (watched == pCallingForm && !Localform && event->type() == QEvent::Resize) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (pCallingForm) {
                    coveredPicture_ = pCallingForm->grab();
                    update();
                }
            },
            Qt::QueuedConnection);
    }
    return platform::TForm::eventFilter(watched, event);
}

unsigned TBlockFrm::ShowPanel(QWidget* aCallingForm, platform::TPanel* aPanel, int x, int y,
                              platform::TPanel*& subPanel)
{
    subPanel = AP;
    if (!aCallingForm || !aPanel)
        return platform::mrCancel;
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowOpacity(1.0);
    Localform = true;
    pCallingForm = aCallingForm;
    pCallingPanel = aPanel;

    AP->setGeometry(panelFrame, panelFrame, aPanel->width(), aPanel->height());
    AP->setColor(aPanel->color());
    AP->show();
    resize(AP->width() + 2 * panelFrame, AP->height() + 2 * panelFrame);
    move(aCallingForm->frameGeometry().topLeft() + QPoint(x, y));
    clonecontrols(aPanel, AP, true);
    return runModal();
}

unsigned TBlockFrm::runModal()
{
    const int result = exec();
    return static_cast<unsigned>(result < 0 ? int(platform::mrCancel) : result);
}

void TBlockFrm::paintEvent(QPaintEvent* event)
{
    platform::TForm::paintEvent(event);
    if (Localform || coveredPicture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), coveredPicture_);
    QColor tint = color();
    tint.setAlphaF(coverOpacity);
    painter.fillRect(QRect(QPoint(0, 0), coveredPicture_.deviceIndependentSize().toSize()), tint);
}

void TBlockFrm::showEvent(QShowEvent* event)
{
    platform::TForm::showEvent(event);
    if (!event->spontaneous())
        Timer->start();
}

void TBlockFrm::TimerTimer()
{
    Timer->stop();
    if (Localform)
        return;
    QPointer<platform::TForm> dialog = pSubForm;
    if (!dialog) {
        done(platform::mrCancel);
        return;
    }
    // The dialog stays above the overlay for its run and goes back to its
    // owner afterwards (the overlay is freed before the dialog).
    QPointer<QWidget> owner = dialog->parentWidget();
    dialog->setParent(this, Qt::Dialog | Qt::FramelessWindowHint);

    // A calling window smaller than the overlay's minimum counts as that
    // minimum, so the dialog keeps room for its buttons.
    const int roomWidth = qMax(callingArea_.width(), minimumCoverWidth);
    const int roomHeight = qMax(callingArea_.height(), minimumCoverHeight);
    if (dialog->width() > roomWidth)
        dialog->resize(roomWidth - dialogInset, dialog->height());
    if (dialog->height() > roomHeight)
        dialog->resize(dialog->width(), roomHeight - dialogInset);
    dialog->move(callingArea_.left() + half(width() - dialog->width()),
                 callingArea_.top() + half(height() - dialog->height()));

    int result = dialog->exec();
    if (!dialog || result == platform::mrNone)
        result = platform::mrCancel;
    if (dialog)
        dialog->setParent(owner, dialog->windowFlags());
    done(result);
}

void TBlockFrm::done(int result)
{
    if (Localform && pCallingPanel)
        returnvalues(AP, pCallingPanel);
    platform::TForm::done(result);
}

}  // namespace vek
