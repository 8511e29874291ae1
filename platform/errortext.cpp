#include "platform/errortext.h"

#include "platform/winerror.h"

namespace platform {

QString errorText(int code)
{
    switch (code) {
    case winerr::FileNotFound:
        return QStringLiteral("the file does not exist");
    case winerr::PathNotFound:
        return QStringLiteral("the folder does not exist");
    case winerr::AccessDenied:
        return QStringLiteral("access denied");
    case winerr::InvalidHandle:
        return QStringLiteral("the file was not open");
    case winerr::NotEnoughMemory:
        return QStringLiteral("not enough memory");
    case winerr::NotSameDevice:
        return QStringLiteral("it cannot be moved to another disk");
    case winerr::WriteFault:
        return QStringLiteral("the disk could not be written");
    case winerr::ReadFault:
        return QStringLiteral("the disk could not be read");
    case winerr::DataMismatch:
        return QStringLiteral("the bytes are not the ones they should be");
    case winerr::SharingViolation:
        return QStringLiteral("the file is in use by another program");
    case winerr::HandleDiskFull:
    case winerr::DiskFull:
        return QStringLiteral("the disk is full");
    case winerr::NotSupported:
        return QStringLiteral("the file system does not support it");
    case winerr::NetworkFailure:
        return QStringLiteral("the transfer from the server failed");
    case winerr::FileExists:
    case winerr::AlreadyExists:
        return QStringLiteral("a file of that name already exists");
    case winerr::InvalidParameter:
        return QStringLiteral("an invalid parameter");
    case winerr::InvalidName:
        return QStringLiteral("the name is not valid");
    case winerr::DirNotEmpty:
        return QStringLiteral("the folder is not empty");
    case winerr::FilenameTooLong:
        return QStringLiteral("the name is too long for the file system");
    case winerr::BadFileType:
        return QStringLiteral("it is not a regular file");
    case winerr::WaitTimeout:
        return QStringLiteral("another run held it too long");
    case winerr::FileInvalid:
        return QStringLiteral("the file changed while it was being copied");
    case winerr::IoDevice:
        return QStringLiteral("an input/output error");
    case winerr::NotSigned:
        return QStringLiteral("it is not signed");
    case winerr::SignatureMismatch:
        return QStringLiteral("its signature does not match");
    case winerr::UnknownSigner:
        return QStringLiteral("it is signed with an unknown key");
    case winerr::SignedAsOther:
        return QStringLiteral("it is signed as another file");
    case winerr::SignedOlder:
        return QStringLiteral("it is older than the installed one");
    case winerr::SignatureUnreadable:
        return QStringLiteral("its signature cannot be read");
    default:
        return QStringLiteral("error %1").arg(code);
    }
}

}  // namespace platform
