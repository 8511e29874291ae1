#pragma once
// Small helpers the drivers share.
#include "platform/libformat.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace bench {

// The family's own date and number formats, so that every run writes and reads
// the same texts whatever the machine's locale is.
inline void useFamilyFormats()
{
    platform::setLibformat(platform::LocaleFormat{});
}

// False, with the usage on the error output, unless the driver was given
// exactly `count` arguments.
inline bool hasArguments(int argc, int count, const char* usage)
{
    if (argc - 1 == count)
        return true;
    std::fprintf(stderr, "usage: %s\n", usage);
    return false;
}

// The drivers that make windows run on the offscreen platform unless the
// caller chose another.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline QString arg(char** argv, int i)
{
    return QString::fromLocal8Bit(argv[i]);
}

// Runs a command-line peer to its end and returns its wall time in
// milliseconds, or -1 when it could not be started or did not succeed. With
// `quiet`, what it writes on its standard output is thrown away.
inline double runPeer(std::vector<std::string> args, bool quiet = false)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = msSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

}  // namespace bench
