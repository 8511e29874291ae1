#pragma once
// A test-only seam: make the Nth call of one kind of file operation fail with a
// chosen errno, to prove that every step of a multi-step operation can fail
// without losing data. Costs one relaxed atomic load per call when unused.
#include <QByteArray>
#include <QString>

namespace platform {

// Attributes: carrying a copy's permission bits and time over to the destination.
// Sync: flushing a written file to the disk.
enum class FaultOp { Open, Read, Write, Close, Rename, Unlink, Copy, Link, Attributes, Sync, Count };

// Arms one fault: the `nth` call (1-based, counted from now) of `op` fails
// with `err`. Replaces any earlier fault of any kind.
void injectFault(FaultOp op, int nth, int err);
// Arms a further fault beside those armed since the last injectFault, its
// calls counted from that injectFault: for an operation whose failure starts
// an undo that must fail too. Up to four faults stand at once.
void addFault(FaultOp op, int nth, int err);
// Disarms the faults and resets the call counters.
void clearFaults();
// Whether an armed fault has fired since it was armed.
bool faultFired();

// Ends the process with `status` (no clean-up, as a kill would) at the
// `nth` call of any kind counted from now: for tests that stop a child
// process at every step of an operation and look at what the next run makes
// of the folder.
void crashAtCall(int nth, int status);

// Arms a swap: the next work file that a placement checks before placing it
// gets `bytes` as its whole content between its copy and its check, as
// another process writing into it would do. Disarmed by clearFaults.
void injectWorkFileSwap(const QByteArray& bytes);
// Called by a placement between the copy into its work file and the check of
// it: writes the armed bytes into `work` (in place, the same file) and
// disarms. 0 when nothing was armed or the bytes were written, else the code
// of the failed write.
[[nodiscard]] int swapWorkFile(const QString& work);

// Called by the file layer at each operation: 0 to go ahead, or the errno to fail with.
[[nodiscard]] int checkFault(FaultOp op);

}  // namespace platform
