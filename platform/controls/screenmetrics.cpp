#include "platform/controls/screenmetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {
namespace {
ScreenMetricsOverride& installedOverride()
{
    static ScreenMetricsOverride metrics;
    return metrics;
}

QScreen* screenOf(const QWidget* form)
{
    if (form && form->screen())
        return form->screen();
    return QGuiApplication::primaryScreen();
}
}  // namespace

QRect workarea(const QWidget* form)
{
    if (installedOverride().workarea)
        return installedOverride().workarea(form);
    const QScreen* screen = screenOf(form);
    return screen ? screen->availableGeometry() : QRect();
}

QRect desktoparea()
{
    if (installedOverride().desktop)
        return installedOverride().desktop();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect();
}

QMargins framemargins(const QWidget* form)
{
    if (installedOverride().frame)
        return installedOverride().frame(form);
    const QWindow* window = form ? form->windowHandle() : nullptr;
    return window ? window->frameMargins() : QMargins();
}

ScreenMetricsOverride screenmetricsoverride()
{
    return installedOverride();
}

void overridescreenmetrics(ScreenMetricsOverride metrics)
{
    installedOverride() = std::move(metrics);
}

}  // namespace platform
