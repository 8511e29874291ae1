#include "lib/sysutils.h"

#include "platform/fileapi.h"
#include "platform/pathbytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vek {
namespace {

const QString kOpener = QStringLiteral("xdg-open");
const QString kElevator = QStringLiteral("pkexec");
// pkexec's own exit codes: the authentication dialog was dismissed (126), or
// the user is not allowed or no authority answered (127).
constexpr int kElevationDismissed = 126;
constexpr int kElevationNotAllowed = 127;
// How often runelevated looks whether pkexec has handed over to the program.
constexpr int kElevationPollMs = 10;

bool isWebAddress(const QString& file)
{
    const qsizetype colon = file.indexOf(u':');
    if (colon < 2)  // "C:" style names and plain names have no scheme
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = file.at(i);
        if (!(c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.') || c.unicode() > 127)
            return false;
    }
    return true;
}

// The file as it will be started: a name with a folder part as written, a bare
// name from the current folder or else from PATH. Empty with the code when
// there is no such file.
QString resolveFile(const QString& file, int& errorcode)
{
    if (file.isEmpty()) {
        errorcode = platform::winerr::FileNotFound;
        return {};
    }
    if (!file.contains(u'/')) {
        if (platform::pathExists(file))
            return QFileInfo(file).absoluteFilePath();
        QString found = QStandardPaths::findExecutable(file);
        if (!found.isEmpty())
            return found;
    } else if (platform::pathExists(file)) {
        return QFileInfo(file).absoluteFilePath();
    }
    errorcode = platform::winErrorFromErrno(ENOENT, file);
    return {};
}

bool isProgram(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

int runFailureCode(const QString& program)
{
    // execve refuses a file we may not run with EACCES; a file marked as a
    // program that is none (no interpreter line) with ENOEXEC.
    if (::access(platform::encodePath(program).constData(), X_OK) != 0)
        return platform::winerr::AccessDenied;
    return shellerr::BadExeFormat;
}

bool openWithDesktop(const QString& target, const QString& folder, int& errorcode)
{
    const QString opener = QStandardPaths::findExecutable(kOpener);
    if (opener.isEmpty() || !QProcess::startDetached(opener, {target}, folder)) {
        errorcode = shellerr::NoAssociation;
        return false;
    }
    return true;
}

bool startProgram(const QString& program, const QString& parameters, const QString& folder, int& errorcode)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(QProcess::splitCommand(parameters));
    process.setWorkingDirectory(folder);
    if (!process.startDetached()) {
        errorcode = runFailureCode(program);
        return false;
    }
    return true;
}

// The command name the kernel shows for a process (at most 15 characters).
QByteArray commandName(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    return stat.readAll().trimmed();
}

bool checkFolder(const QString& folder, int& errorcode)
{
    if (folder.isEmpty() || platform::isFolder(folder))
        return true;
    errorcode = platform::winerr::PathNotFound;
    return false;
}

QString dotted(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

bool isLoopback(quint32 address)
{
    return (address >> 24) == 127;
}

std::vector<quint32> resolveHostName()
{
    std::vector<quint32> found;
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return found;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &result) != 0)
        return found;
    for (const addrinfo* a = result; a; a = a->ai_next) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        const quint32 address = ntohl(in->sin_addr.s_addr);
        if (std::find(found.begin(), found.end(), address) == found.end())
            found.push_back(address);
    }
    ::freeaddrinfo(result);
    return found;
}

std::vector<quint32> upInterfaceAddresses()
{
    std::vector<quint32> found;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return found;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        const quint32 address = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
        if (!isLoopback(address))
            found.push_back(address);
    }
    ::freeifaddrs(list);
    return found;
}

AddressSources& installedSources()
{
    static AddressSources sources;
    return sources;
}

QString& cachedAddress()
{
    static QString address;
    return address;
}

}  // namespace

bool shellexecute(const QString& file, const QString& parameters, const QString& folder, int& errorcode, int show,
                  const QString& verb)
{
    Q_UNUSED(show);  // the window system decides how a new window shows
    errorcode = 0;
    const QString action = verb.trimmed().toLower();
    if (action == kVerbRunas)
        return runelevated(file, parameters, folder, errorcode, show);
    if (!action.isEmpty() && action != kVerbOpen && action != kVerbExplore) {
        errorcode = shellerr::NoAssociation;
        return false;
    }
    if (!checkFolder(folder, errorcode))
        return false;
    if (isWebAddress(file))
        return openWithDesktop(file, folder, errorcode);
    const QString target = resolveFile(file, errorcode);
    if (target.isEmpty())
        return false;
    if (action != kVerbExplore && isProgram(target))
        return startProgram(target, parameters, folder, errorcode);
    return openWithDesktop(target, folder, errorcode);
}

bool runelevated(const QString& file, const QString& parameters, const QString& folder, int& errorcode, int show)
{
    Q_UNUSED(show);
    errorcode = 0;
    if (!checkFolder(folder, errorcode))
        return false;
    const QString program = resolveFile(file, errorcode);
    if (program.isEmpty())
        return false;
    if (!isProgram(program)) {
        // Opening a document as the administrator would hand a desktop
        // program root's rights; only programs are started this way.
        errorcode = platform::winerr::AccessDenied;
        return false;
    }
    const QString elevator = QStandardPaths::findExecutable(kElevator);
    if (elevator.isEmpty()) {
        errorcode = shellerr::ElevationUnavailable;
        return false;
    }

    // The process object must outlive this call: destroying it would kill the
    // program it runs, which has to go on after we return (and after we end).
    // It removes itself when the program ends; one still running when we end
    // is left alone.
    auto* process = new QProcess;
    process->setProgram(elevator);
    process->setArguments(QStringList{program} + QProcess::splitCommand(parameters));
    process->setWorkingDirectory(folder);
    // Output not read by anyone would fill its pipe and stall the program.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        errorcode = shellerr::ElevationUnavailable;
        return false;
    }
    const qint64 pid = process->processId();
    const QByteArray asElevator = commandName(pid);

    // pkexec asks for the password, then replaces itself with the program, so
    // a changed command name means the program runs. The user may take a
    // while to answer: window messages run meanwhile, as under any modal
    // question.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kElevationPollMs);
    bool handedOver = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (process->state() == QProcess::NotRunning)
            return loop.quit();
        const QByteArray now = commandName(pid);
        if (!now.isEmpty() && now != asElevator) {
            handedOver = true;
            loop.quit();
        }
    });
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    poll.start();
    if (process->state() != QProcess::NotRunning)
        loop.exec();
    poll.stop();

    if (!handedOver && process->state() == QProcess::NotRunning) {
        // Ended before we saw the hand-over: pkexec's refusal codes, or a
        // program that ran and ended at once.
        const bool refused = process->exitStatus() == QProcess::NormalExit
            && (process->exitCode() == kElevationDismissed || process->exitCode() == kElevationNotAllowed);
        delete process;
        if (refused) {
            errorcode = shellerr::Cancelled;
            return false;
        }
        return true;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

QString localaddress()
{
    QString& cache = cachedAddress();
    if (!cache.isEmpty() && cache != kNoLocalAddress)
        return cache;
    const AddressSources& sources = installedSources();
    const std::vector<quint32> host = sources.hostaddresses ? sources.hostaddresses() : resolveHostName();
    for (quint32 address : host) {
        if (!isLoopback(address))
            return cache = dotted(address);
    }
    cache = kNoLocalAddress;
    if (host.empty())
        return kNoLocalAddress;
    // Many Linux machines resolve their own name to 127.0.1.1: the address
    // others reach us at is then one of an interface.
    const std::vector<quint32> interfaces
        = sources.interfaceaddresses ? sources.interfaceaddresses() : upInterfaceAddresses();
    for (quint32 address : interfaces) {
        if (!isLoopback(address))
            return cache = dotted(address);
    }
    // A loopback address is given but not kept: the network may come up later.
    return dotted(host.front());
}

void setaddresssources(AddressSources sources)
{
    installedSources() = std::move(sources);
}

AddressSources addresssources()
{
    return installedSources();
}

void resetlocaladdress()
{
    cachedAddress().clear();
}

QString httpprefix(const QString& folder, bool plainonly)
{
    Q_UNUSED(folder);
    return plainonly ? QStringLiteral("http://") : QStringLiteral("https://");
}

qint64 tracerpid(QByteArrayView statusText)
{
    // Written without allocating, so that a child between fork and exec may ask too.
    static constexpr QByteArrayView key("TracerPid:");
    qsizetype at = 0;
    while (at < statusText.size()) {
        qsizetype end = statusText.indexOf('\n', at);
        if (end < 0)
            end = statusText.size();
        const QByteArrayView line = statusText.sliced(at, end - at);
        if (line.startsWith(key)) {
            qint64 pid = 0;
            bool digits = false;
            for (char c : line.sliced(key.size())) {
                if (c >= '0' && c <= '9') {
                    pid = pid * 10 + (c - '0');
                    digits = true;
                } else if (c != ' ' && c != '\t') {
                    return 0;
                }
            }
            return digits ? pid : 0;
        }
        at = end + 1;
    }
    return 0;
}

bool indebugger()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[16384];
    qsizetype size = 0;
    ssize_t got;
    while (size < qsizetype(sizeof buffer) && (got = ::read(fd, buffer + size, sizeof buffer - size)) > 0)
        size += got;
    ::close(fd);
    return tracerpid(QByteArrayView(buffer, size)) != 0;
}

}  // namespace vek
