#include "platform/filemode.h"

#include "platform/pathbytes.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace platform {
namespace {

// "Umask:" in /proc/self/status (Linux 4.7 on); -1 when it is not there.
long umaskFromProc()
{
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (!status)
        return -1;
    long mask = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        unsigned int value = 0;
        if (std::strncmp(line, "Umask:", 6) == 0 && std::sscanf(line + 6, "%o", &value) == 1) {
            mask = static_cast<long>(value & 0777);
            break;
        }
    }
    std::fclose(status);
    return mask;
}

mode_t readUmask()
{
    const long fromProc = umaskFromProc();
    if (fromProc >= 0)
        return static_cast<mode_t>(fromProc);
    // Without /proc: set and restore, once for the whole process.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

}  // namespace

mode_t processUmask()
{
    static const mode_t mask = readUmask();
    return mask;
}

mode_t copiedFileMode(mode_t sourceMode, mode_t umask)
{
    return sourceMode & 0777 & ~umask;
}

mode_t replacementFileMode(const QString& current)
{
    constexpr mode_t kNewProgramMode = 0755;
    struct stat st {};
    const bool replaced = ::stat(encodePath(current).constData(), &st) == 0 && S_ISREG(st.st_mode);
    return copiedFileMode(replaced ? st.st_mode : kNewProgramMode);
}

}  // namespace platform
