#include "platform/faultinjection.h"

#include <array>
#include <atomic>

namespace platform {
namespace {

std::atomic<bool> g_enabled{false};
std::array<int, static_cast<int>(FaultOp::Count)> g_calls{};
FaultOp g_op = FaultOp::Open;
int g_nth = 0;
int g_err = 0;
bool g_fired = false;

}  // namespace

void injectFault(FaultOp op, int nth, int err)
{
    g_calls.fill(0);
    g_op = op;
    g_nth = nth;
    g_err = err;
    g_fired = false;
    g_enabled.store(true, std::memory_order_relaxed);
}

void clearFaults()
{
    g_enabled.store(false, std::memory_order_relaxed);
    g_calls.fill(0);
    g_fired = false;
}

bool faultFired()
{
    return g_fired;
}

int checkFault(FaultOp op)
{
    if (!g_enabled.load(std::memory_order_relaxed))
        return 0;
    const int n = ++g_calls[static_cast<int>(op)];
    if (op == g_op && n == g_nth) {
        g_fired = true;
        return g_err;
    }
    return 0;
}

}  // namespace platform
