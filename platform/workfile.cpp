#include "platform/workfile.h"

#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kDigestDigits = 16;
constexpr int kRandomDigits = 8;

bool isHexDigits(QStringView text)
{
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

// Whether `st` is what a work file of ours looks like: a plain file with no
// second name, belonging to whoever runs now.
bool looksOurs(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == ::geteuid();
}

// 0 when `path` held a leftover of ours that is gone now or was never there;
// else the code that keeps the name taken.
int clearLeftover(const QString& path)
{
    const QByteArray p = encodePath(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0)
        return errno == ENOENT ? 0 : winErrorFromErrno(errno, path);
    if (!looksOurs(st))
        return winerr::AlreadyExists;
    // Opened without following a link and without waiting on a pipe: the name
    // may have changed since the look above.
    const int fd = ::open(p.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : winerr::AlreadyExists;
    struct stat opened {};
    // A writer that still lives holds its lock: its file is not a leftover.
    const bool leftover = ::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino
        && looksOurs(opened) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    int rc = leftover ? 0 : winerr::AlreadyExists;
    if (leftover && ::unlink(p.constData()) != 0 && errno != ENOENT)
        rc = winErrorFromErrno(errno, path);
    ::close(fd);
    return rc;
}

}  // namespace

QString hiddenWorkName(const QString& path, const QString& suffix)
{
    const qsizetype cut = path.lastIndexOf(kPathSep);
    const QStringView name = QStringView(path).mid(cut + 1);
    // The UTF-16 units as they are, so that names which differ only in bytes
    // that are not UTF-8 still get different digests.
    const QByteArray units(reinterpret_cast<const char*>(name.utf16()), name.size() * qsizetype(sizeof(char16_t)));
    const QByteArray digest = QCryptographicHash::hash(units, QCryptographicHash::Sha1).toHex().left(kDigestDigits);
    return path.left(cut + 1) + u'.' + QString::fromLatin1(digest) + suffix;
}

QString uniqueWorkName(const QString& path, const QString& suffix)
{
    const quint32 random = QRandomGenerator::system()->generate();
    return hiddenWorkName(path, u'.' + QStringLiteral("%1").arg(random, kRandomDigits, 16, QLatin1Char('0')) + suffix);
}

bool isWorkName(const QString& name, const QString& suffix)
{
    if (!name.startsWith(u'.') || !name.endsWith(suffix))
        return false;
    const QStringView middle = QStringView(name).mid(1, name.size() - 1 - suffix.size());
    if (middle.size() == kDigestDigits)
        return isHexDigits(middle);
    return middle.size() == kDigestDigits + 1 + kRandomDigits && middle[kDigestDigits] == u'.'
        && isHexDigits(middle.left(kDigestDigits)) && isHexDigits(middle.mid(kDigestDigits + 1));
}

int writeWorkFile(const QString& path, const QByteArray& bytes, mode_t mode)
{
    RawFile file;
    if (const int rc = file.openWorkFile(path, mode))
        return rc;
    int rc = file.write(bytes.constData(), bytes.size());
    if (rc == 0)
        rc = file.sync();
    const int closed = file.close();
    if (rc == 0)
        rc = closed;
    if (rc != 0)
        ::unlink(encodePath(path).constData());
    return rc;
}

bool isOwnWorkFile(const QString& path)
{
    struct stat st {};
    return ::lstat(encodePath(path).constData(), &st) == 0 && looksOurs(st);
}

bool removeLeftover(const QString& path)
{
    return clearLeftover(path) == 0;
}

int openOwnWorkFile(const QString& path, int* fd)
{
    *fd = -1;
    if (const int err = checkFault(FaultOp::Open))
        return winErrorFromErrno(err, path);
    const QByteArray p = encodePath(path);
    int opened = -1;
    do {
        opened = ::open(p.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (opened < 0 && errno == EINTR);
    if (opened < 0)
        return errno == ENOENT ? winerr::FileNotFound : winerr::AlreadyExists;
    struct stat st {};
    if (::fstat(opened, &st) != 0 || !looksOurs(st) || ::flock(opened, LOCK_EX | LOCK_NB) != 0) {
        ::close(opened);
        return winerr::AlreadyExists;
    }
    *fd = opened;
    return 0;
}

int createWorkFile(const QString& path, mode_t mode, int* fd)
{
    *fd = -1;
    if (const int err = checkFault(FaultOp::Open))
        return winErrorFromErrno(err, path);
    if (const int rc = clearLeftover(path))
        return rc;
    const QByteArray p = encodePath(path);
    // O_EXCL refuses any name that stands, a link too, dangling or not.
    do {
        *fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    } while (*fd < 0 && errno == EINTR);
    if (*fd < 0)
        return winErrorFromErrno(errno, path);
    // Held until the writer closes the file, or dies: a run that finds the
    // file unheld knows its writer is gone. Between the create and this lock a
    // sweeping run could take the file for a leftover; the writer's rename
    // then fails, and nothing is lost.
    (void)::flock(*fd, LOCK_EX | LOCK_NB);  // a file system without locks keeps files unswept
    return 0;
}

}  // namespace platform

namespace platform {

QStringList hiddenNamesIn(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(encodePath(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
    if (!dir)
        return names;
    while (const dirent* d = ::readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] != '.' || (name[1] == 0) || (name[1] == '.' && name[2] == 0))
            continue;
        bool ascii = true;
        for (const char* c = name; *c && ascii; ++c)
            ascii = static_cast<unsigned char>(*c) < 0x80;
        if (ascii)
            names.append(QString::fromLatin1(name));
    }
    ::closedir(dir);
    return names;
}

}  // namespace platform
