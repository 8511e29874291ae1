#pragma once
// Moving the input focus without the risk of focusing a control that cannot
// take it.

class QWidget;

namespace vek {

// Gives `control` the input focus when it is shown, enabled and takes the
// focus at all. Otherwise (and for null) nothing changes except that pending
// window messages run.
void safefocus(QWidget* control);

}  // namespace vek
