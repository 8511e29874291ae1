#pragma once
// Runs an operation once per failure point: the Nth call of each kind of file
// operation fails with each chosen errno in turn, until the operation makes no
// Nth call of that kind. The trial sets up its files, runs the operation while
// the fault is armed, and checks the outcome.
#include "platform/faultinjection.h"

#include <functional>
#include <initializer_list>

namespace testsupport {

struct FaultPoint {
    platform::FaultOp op;
    int nth;
    int err;
};

// The trial arms the fault right before the operation and disarms it right
// after, before looking at the outcome; disarm() tells whether it fired.
class FaultSwitch {
public:
    explicit FaultSwitch(const FaultPoint& point) : point_(point) {}
    void arm() { platform::injectFault(point_.op, point_.nth, point_.err); }
    bool disarm()
    {
        fired_ = platform::faultFired();
        platform::clearFaults();
        return fired_;
    }
    bool fired() const { return fired_; }

private:
    FaultPoint point_;
    bool fired_ = false;
};

// Returns the number of failure points tried (those whose fault fired).
int forEachFaultPoint(const std::function<void(const FaultPoint& point, FaultSwitch& fault)>& trial,
                      std::initializer_list<int> errnos);

const char* faultOpName(platform::FaultOp op);

}  // namespace testsupport
