#pragma once
// Guards for the form services' process-wide state, as stateguards.h has them
// for the platform layer.
#include "forms/formresizer.h"
#include "stateguards.h"

namespace testsupport {

// The active resizer, which the form menu's "Restore Font" works on.
class ActiveResizerScope : StateGuard {
public:
    explicit ActiveResizerScope(vek::TFormResizer* resizer = nullptr) : saved_(vek::activeresizer())
    {
        vek::setactiveresizer(resizer);
    }
    ~ActiveResizerScope() { vek::setactiveresizer(saved_); }

private:
    QPointer<vek::TFormResizer> saved_;
};

}  // namespace testsupport
