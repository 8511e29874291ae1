#include "platform/faultinjection.h"

#include "platform/pathbytes.h"
#include "platform/winerror.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace platform {
namespace {

struct Fault {
    FaultOp op = FaultOp::Open;
    int nth = 0;
    int err = 0;
};

std::atomic<bool> g_enabled{false};
std::array<int, static_cast<int>(FaultOp::Count)> g_calls{};
std::array<Fault, 4> g_faults{};
int g_armed = 0;
bool g_fired = false;
int g_crashAt = 0;
int g_crashStatus = 0;
int g_allCalls = 0;
std::optional<QByteArray> g_swap;

}  // namespace

void injectFault(FaultOp op, int nth, int err)
{
    g_calls.fill(0);
    g_armed = 0;
    g_fired = false;
    addFault(op, nth, err);
}

void addFault(FaultOp op, int nth, int err)
{
    if (g_armed < static_cast<int>(g_faults.size()))
        g_faults[g_armed++] = {op, nth, err};
    g_enabled.store(true, std::memory_order_relaxed);
}

void clearFaults()
{
    g_enabled.store(false, std::memory_order_relaxed);
    g_calls.fill(0);
    g_armed = 0;
    g_fired = false;
    g_crashAt = 0;
    g_allCalls = 0;
    g_swap.reset();
}

void injectWorkFileSwap(const QByteArray& bytes)
{
    g_swap = bytes;
}

int swapWorkFile(const QString& work)
{
    if (!g_swap)
        return 0;
    const QByteArray bytes = *g_swap;
    g_swap.reset();
    // Straight to the system, past the file layer's own counted calls: the
    // swap is another process's doing, not a step of the placement.
    const int fd = ::open(encodePath(work).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return winErrorFromErrno(errno, work);
    const bool written = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return written ? 0 : winerr::IoDevice;
}

bool faultFired()
{
    return g_fired;
}

void crashAtCall(int nth, int status)
{
    g_allCalls = 0;
    g_crashAt = nth;
    g_crashStatus = status;
    g_enabled.store(true, std::memory_order_relaxed);
}

int checkFault(FaultOp op)
{
    if (!g_enabled.load(std::memory_order_relaxed))
        return 0;
    if (g_crashAt > 0 && ++g_allCalls == g_crashAt)
        ::_exit(g_crashStatus);
    const int n = ++g_calls[static_cast<int>(op)];
    for (int i = 0; i < g_armed; ++i) {
        if (g_faults[i].op == op && g_faults[i].nth == n) {
            g_fired = true;
            return g_faults[i].err;
        }
    }
    return 0;
}

}  // namespace platform
