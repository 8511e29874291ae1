#pragma once
// Small helpers the drivers share.
#include "platform/libformat.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdio>

namespace bench {

// The family's own date and number formats, so that every run writes and reads
// the same texts whatever the machine's locale is.
inline void useFamilyFormats()
{
    platform::setLibformat(platform::LocaleFormat{});
}

inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline QString arg(char** argv, int i)
{
    return QString::fromLocal8Bit(argv[i]);
}

}  // namespace bench
