#include "faultpoints.h"

#include "stateguards.h"

#include <cstdio>

namespace testsupport {

const char* faultOpName(platform::FaultOp op)
{
    switch (op) {
    case platform::FaultOp::Open:
        return "open";
    case platform::FaultOp::Read:
        return "read";
    case platform::FaultOp::Write:
        return "write";
    case platform::FaultOp::Close:
        return "close";
    case platform::FaultOp::Rename:
        return "rename";
    case platform::FaultOp::Unlink:
        return "unlink";
    case platform::FaultOp::Copy:
        return "copy";
    case platform::FaultOp::Link:
        return "link";
    case platform::FaultOp::Attributes:
        return "attributes";
    case platform::FaultOp::Sync:
        return "sync";
    case platform::FaultOp::Count:
        break;
    }
    return "?";
}

int forEachFaultPoint(const std::function<void(const FaultPoint& point, FaultSwitch& fault)>& trial,
                      std::initializer_list<int> errnos)
{
    int tried = 0;
    for (int kind = 0; kind < static_cast<int>(platform::FaultOp::Count); ++kind) {
        const auto op = static_cast<platform::FaultOp>(kind);
        for (const int err : errnos) {
            for (int nth = 1;; ++nth) {
                const FaultPoint point{op, nth, err};
                FaultSwitch fault(point);
                {
                    // Disarmed after the trial, also when an assertion ended it
                    // before its disarm().
                    FaultScope disarmed;
                    trial(point, fault);
                }
                if (!fault.fired())
                    break;
                ++tried;
            }
        }
    }
    return tried;
}

}  // namespace testsupport
