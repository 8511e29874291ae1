#pragma once
// Making a control of a form the way every form of the family lays itself
// out: a named control at its design bounds, anchored to edges of its
// container.
#include "platform/controls/tanchors.h"

#include <QLatin1String>
#include <QWidget>

namespace platform {

// A new `Control` in `parent`, with component name `name`, at the given
// bounds, anchored left and top unless told otherwise.
template <typename Control>
Control* placecontrol(QWidget* parent, const char* name, int left, int top, int width, int height,
                      TAnchors anchors = akLeft | akTop)
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    setanchors(control, anchors);
    return control;
}

}  // namespace platform
