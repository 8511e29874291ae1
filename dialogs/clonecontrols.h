#pragma once
// Copies of a panel's controls for a pop-up, and the way back: what the user
// changed in the copies is written into the controls they were made from.
// Controls named "SubLabel" (in any case) are neither copied nor written back.
class QWidget;

namespace vek {

// Makes a copy of every child control of `source` inside `target`: same
// class, same settings and name, same tab sequence. Group boxes and panels
// are copied with their contents. With `forwardSignals` a copy's signals are
// passed on to its source's, so the copy calls the source's handlers.
void clonecontrols(QWidget* source, QWidget* target, bool forwardSignals);

// Writes the values of the copies in `copies` into the controls of the same
// name in `originals`: captions, checks, texts, dates, choices, list rows.
// A copy without a namesake of the same kind is passed over.
void returnvalues(QWidget* copies, QWidget* originals);

}  // namespace vek
