// Runs one command and prints its wall-clock time in milliseconds, so that our
// drivers and their command-line peers are timed by the same clock and the
// same process start:
//   bench_timecmd [-o OUTPUT] -- COMMAND [ARGS...]
// The command's standard output goes to OUTPUT (default /dev/null). The exit
// status is the command's.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

int main(int argc, char** argv)
{
    const char* output = "/dev/null";
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        } else
            break;
    }
    if (i >= argc) {
        std::fprintf(stderr, "usage: bench_timecmd [-o OUTPUT] -- COMMAND [ARGS...]\n");
        return 2;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);

    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[i], &actions, nullptr, argv + i, environ) != 0) {
        std::perror(argv[i]);
        return 127;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {}
    clock_gettime(CLOCK_MONOTONIC, &end);
    posix_spawn_file_actions_destroy(&actions);

    // The differences are small whole numbers; a double holds them exactly.
    const double ms
        = static_cast<double>(end.tv_sec - start.tv_sec) * 1e3 + static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e6;
    std::printf("%.3f\n", ms);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
