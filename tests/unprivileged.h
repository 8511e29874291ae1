#pragma once
// Runs a piece of a test as an ordinary user would meet the disk. The tests
// often run as root, for whom file permission bits do not count; so the piece
// runs in a forked child that first drops to the unprivileged "nobody" ids.
// A test running as an ordinary user already is one: the child keeps its ids.
#include <QFile>
#include <QString>

#include <cerrno>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

inline constexpr uid_t kNobody = 65534;

// Lets the unprivileged child into a scratch folder: it may list, create and
// rename there.
inline void openFolderToEveryone(const QString& folder)
{
    ::chmod(QFile::encodeName(folder).constData(), 0777);
}

// Runs `piece` in the child: 0 when it returned true, 1 when it returned
// false, 2 when the child could not drop its privileges, -1 when it died.
inline int runAsUnprivilegedUser(const std::function<bool()>& piece)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(2);
        ::_exit(piece() ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
