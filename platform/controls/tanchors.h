#pragma once
// Controls sit at absolute bounds. Anchors keep a control's distance to the
// chosen edges of its container when the container is resized; alignment
// docks a control to one side (or the whole) of its container.
#include <QFlags>

class QWidget;

namespace platform {

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
Q_DECLARE_OPERATORS_FOR_FLAGS(TAnchors)

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Left and top (the default) leave the control where it is. The container's
// size at the time of the call is the reference for later resizes.
void setanchors(QWidget* control, TAnchors anchors);
void setalign(QWidget* control, TAlign align);
// What was set for the control: left and top, and alNone, when nothing was.
TAnchors getanchors(const QWidget* control);
TAlign getalign(const QWidget* control);
// Applies alignment and anchors for the container's current size at once;
// resizes are otherwise applied when the container receives them.
void applyanchors(QWidget* container);

}  // namespace platform
