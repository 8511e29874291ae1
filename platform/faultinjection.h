#pragma once
// A test-only seam: make the Nth call of one kind of file operation fail with a
// chosen errno, to prove that every step of a multi-step operation can fail
// without losing data. Costs one relaxed atomic load per call when unused.

namespace platform {

// Attributes: carrying a copy's permission bits and time over to the destination.
enum class FaultOp { Open, Read, Write, Close, Rename, Unlink, Copy, Link, Attributes, Count };

// Arms one fault: the `nth` call (1-based, counted from now) of `op` fails
// with `err`. Replaces any earlier fault of any kind.
void injectFault(FaultOp op, int nth, int err);
// Disarms the fault and resets the call counters.
void clearFaults();
// Whether the armed fault has fired since it was armed.
bool faultFired();

// Called by the file layer at each operation: 0 to go ahead, or the errno to fail with.
int checkFault(FaultOp op);

}  // namespace platform
