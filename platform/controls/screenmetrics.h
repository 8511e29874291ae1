#pragma once
// Screen metrics behind one seam: the real ones come from the screen a form
// is on; tests put their own in place.
#include <QMargins>
#include <QRect>
#include <functional>

class QWidget;

namespace platform {

// The work area (the screen without task bars and docks) of the form's
// screen; the primary screen's when the form is null.
QRect workarea(const QWidget* form);
// All screens together.
QRect desktoparea();

// The window system's frame around a top-level form (title bar and
// borders), as the window manager draws it; none before the form is shown,
// under no window manager, and on the offscreen platform.
QMargins framemargins(const QWidget* form);

struct ScreenMetricsOverride {
    std::function<QRect(const QWidget* form)> workarea;
    std::function<QRect()> desktop;
    // A window manager's frame, for tests on a platform that draws none.
    std::function<QMargins(const QWidget* form)> frame;
};
// Replaces the metrics that are set in `metrics`; an empty override restores
// the real screens.
void overridescreenmetrics(ScreenMetricsOverride metrics);
ScreenMetricsOverride screenmetricsoverride();

}  // namespace platform
