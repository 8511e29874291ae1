#pragma once
// Operating-system services the family's programs call through the library:
// starting another program or opening a document, with or without
// administrator rights, the machine's network address, the web-address prefix,
// and whether a debugger watches the run.
//
// The family's programs on their first platform asked for a 1 ms system timer
// resolution for the whole run. Linux timers already have that resolution, so
// there is no counterpart here and nothing to request or release.
#include "platform/winerror.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace vek {

// Codes of starting a program that the file layer has no use for.
namespace shellerr {
// No program opens documents of this kind (or the desktop has no opener).
inline constexpr int NoAssociation = 1155;
// The file is marked as a program but cannot be run (no interpreter line, wrong machine).
inline constexpr int BadExeFormat = 193;
// The user refused the request for administrator rights.
inline constexpr int Cancelled = 1223;
// There is no way to ask for administrator rights on this machine (no pkexec).
inline constexpr int ElevationUnavailable = platform::winerr::NotSupported;
}  // namespace shellerr

// The verbs shellexecute knows: empty or "open" (run a program, open anything
// else with the desktop's opener), "explore" (the desktop's opener) and
// "runas" (run with administrator rights). Verbs are matched without case.
inline const QString kVerbOpen = QStringLiteral("open");
inline const QString kVerbExplore = QStringLiteral("explore");
inline const QString kVerbRunas = QStringLiteral("runas");

// Starts `file` and returns without waiting for it. A file marked as
// executable (or a bare name found on PATH) is started as a program with
// `parameters` split as a command line is (double quotes group, no
// expansion), in `folder` when it is given, else in the current folder.
// Anything else (documents, folders, web addresses) goes to the desktop's
// opener (xdg-open), which picks the program; the parameters are then unused.
// `show` has no counterpart here: the window system places the new window.
// True when the program was started; otherwise false with `errorcode` set: 2
// for a missing file (3 when its folder is missing too, or `folder` is
// missing), 5 when it may not be run, shellerr::BadExeFormat,
// shellerr::NoAssociation for an unknown verb or no opener, and the codes of
// runelevated for "runas". `errorcode` is 0 after a success.
[[nodiscard]] bool shellexecute(const QString& file, const QString& parameters, const QString& folder, int& errorcode,
                                int show, const QString& verb);

// shellexecute with the verb "runas": the program is started through pkexec,
// which asks the user for the administrator's password. Returns once the
// program runs with those rights, letting window messages run meanwhile.
// False with shellerr::ElevationUnavailable when pkexec is not installed, with
// shellerr::Cancelled when the user refused or was not allowed, and with the
// codes of shellexecute for a file that is missing or cannot be run.
[[nodiscard]] bool runelevated(const QString& file, const QString& parameters, const QString& folder, int& errorcode,
                               int show);

// The machine's IPv4 address in dotted form, bytes in network order
// ("192.168.1.10"): the first non-loopback address the host name resolves to;
// where it resolves only to loopback, the first address of an interface that
// is up (or, with none, the loopback address). "1.0.0.7" when the name does
// not resolve. A found address is kept for the rest of the run; "1.0.0.7" and
// a loopback answer are looked up again on the next call.
QString localaddress();
inline const QString kNoLocalAddress = QStringLiteral("1.0.0.7");

// Where localaddress looks, as host-order IPv4 numbers (192.168.1.10 is
// 0xC0A8010A): the addresses the host name resolves to, in the resolver's
// order, and the addresses of the interfaces that are up, loopback ones left
// out. Tests put their own in place; an empty function keeps the real one.
struct AddressSources {
    std::function<std::vector<quint32>()> hostaddresses;
    std::function<std::vector<quint32>()> interfaceaddresses;
};
void setaddresssources(AddressSources sources);
AddressSources addresssources();
// Forgets the address localaddress keeps (tests, and nothing else).
void resetlocaladdress();

// "http://" when `plainonly`, else "https://": the transfer component always
// has TLS built in. `folder` (where the TLS libraries once had to be found)
// is not looked at.
QString httpprefix(const QString& folder, bool plainonly);

// True when a debugger (any tracer) is attached to this process.
bool indebugger();
// The tracer's process number from the text of /proc/<pid>/status; 0 when
// the line is missing or not a number.
qint64 tracerpid(QByteArrayView statusText);

}  // namespace vek
