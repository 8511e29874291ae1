#pragma once
// The numeric error codes that the family's file operations report. Callers
// compare against these, so they keep the values of the platform the family was
// first written for.
#include <QString>

namespace platform {

namespace winerr {
inline constexpr int Success = 0;
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int AccessDenied = 5;
inline constexpr int InvalidHandle = 6;
inline constexpr int NotEnoughMemory = 8;
inline constexpr int NotSameDevice = 17;
inline constexpr int WriteFault = 29;
inline constexpr int ReadFault = 30;
inline constexpr int DataMismatch = 23;
inline constexpr int SharingViolation = 32;
inline constexpr int HandleDiskFull = 39;
inline constexpr int NotSupported = 50;
// A transfer from a web server failed (no connection, a time-out, a cut reply).
inline constexpr int NetworkFailure = 59;
inline constexpr int FileExists = 80;
inline constexpr int InvalidParameter = 87;
inline constexpr int DiskFull = 112;
inline constexpr int InvalidName = 123;
inline constexpr int DirNotEmpty = 145;
inline constexpr int AlreadyExists = 183;
// Not a file that can be copied: a named pipe, a socket or a device.
inline constexpr int BadFileType = 222;
// A wait for another run to finish gave up.
inline constexpr int WaitTimeout = 258;
inline constexpr int FilenameTooLong = 206;
// The source of a copy changed while it was copied: the bytes written are no
// version of the file that ever existed.
inline constexpr int FileInvalid = 1006;
inline constexpr int IoDevice = 1117;
// A file refused by its signature, where the administrator named public keys
// (trust/): one code for each reason, so that a script can tell them apart.
// No signature file beside it.
inline constexpr int NotSigned = 2301;
// The signature is not over these bytes, or its trusted comment was changed.
inline constexpr int SignatureMismatch = 2302;
// Signed with a key the administrator did not name.
inline constexpr int UnknownSigner = 2303;
// The trusted comment names another file (or none): a signed program passed off as another.
inline constexpr int SignedAsOther = 2304;
// Signed earlier than the version installed now.
inline constexpr int SignedOlder = 2305;
// The signature file, or a named key, is not minisign's.
inline constexpr int SignatureUnreadable = 2306;
}  // namespace winerr

// Maps an errno value to its code. ENOENT becomes 3 instead of 2 when the folder
// that should hold `path` does not exist. Every errno without a closer match
// becomes winerr::IoDevice, never 0.
[[nodiscard]] int winErrorFromErrno(int err, const QString& path = {});

}  // namespace platform
