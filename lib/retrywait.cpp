#include "lib/retrywait.h"

#include <QRandomGenerator>
#include <QThread>

#include <algorithm>

namespace vek {
namespace {
int g_limit = 1000;
}

void waitbeforeretry()
{
    if (g_limit > 0)
        QThread::msleep(QRandomGenerator::global()->bounded(g_limit));
}

void waitbeforesaveretry(int milliseconds)
{
    const int wait = std::min(milliseconds, g_limit);
    if (wait > 0)
        QThread::msleep(wait);
}

int retrywaitlimit()
{
    return g_limit;
}

void setretrywaitlimit(int milliseconds)
{
    g_limit = milliseconds;
}

}  // namespace vek
