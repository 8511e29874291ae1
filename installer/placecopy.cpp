#include "installer/placecopy.h"

#include "lib/copyplacement.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

#include <chrono>

namespace installer {

namespace {

// Joins the second line of a failure's message when the undo of its placement
// could not put every backup back; where each file stands follows.
const QString kBackupsNotPutBack = QStringLiteral("; the backups could not all be put back: ");

class FailureText {
public:
    FailureText(const QString& errorPrefix, const QString& name) : prefix_(errorPrefix), name_(name) {}

    // `leftovers`: what the undo of a failed placement could not put back,
    // told after the cause so that the user knows which file stands where.
    // `cause`: the cause in words, where the code's own words would not say it.
    InstallOutcome operator()(int code, const QString& what, const QString& path, const QString& cause = {},
                              const vek::UndoLeftovers& leftovers = {}) const
    {
        InstallOutcome outcome;
        outcome.name = name_;
        outcome.code = code;
        outcome.message = prefix_ + QString::number(code) + u'\n' + name_ + QStringLiteral(": ") + what + u' ' + path
            + QStringLiteral(" (") + (cause.isEmpty() ? platform::errorText(code) : cause) + u')';
        if (!leftovers.isEmpty())
            outcome.message += kBackupsNotPutBack + vek::describeleftovers(leftovers);
        return outcome;
    }

private:
    QString prefix_;
    QString name_;
};

}  // namespace

InstallOutcome placeprogram(const CopySource& source, const QString& localFolder, const QString& name,
                            const QString& errorPrefix, const Placement& place)
{
    const FailureText failed(errorPrefix, name);
    const QString local = vek::addslash(localFolder);
    const QString current = local + name;
    // A folder (or a pipe) under the program's name is no program to keep a backup of.
    if (const QString kind = platform::nonRegularKind(current); !kind.isEmpty())
        return failed(platform::winerr::BadFileType, QStringLiteral("could not replace"), current,
                      QStringLiteral("it is ") + kind + QStringLiteral(", not a program file"));
    vek::PlacementFailure failure;
    if (const int code = place(current, &failure)) {
        switch (failure.step) {
        case vek::PlacementStep::ReadSource:
            if (const QString kind = platform::nonRegularKind(source.path); !kind.isEmpty())
                return failed(code, QStringLiteral("refused ") + source.what, source.path,
                              QStringLiteral("it is ") + kind + QStringLiteral(", not a regular file"));
            return failed(code, QStringLiteral("could not read ") + source.what, source.path, failure.reason);
        case vek::PlacementStep::NameTooLong:
            return failed(code, QStringLiteral("refused the name of"), name,
                          QStringLiteral("the name is %1 bytes long; with the endings of its backups (.X01 to .X10) "
                                         "the file system here takes program names of at most %2 bytes")
                              .arg(platform::encodePath(name).size())
                              .arg(vek::longestprogramname(local)));
        case vek::PlacementStep::LockFolder:
            return failed(
                code, QStringLiteral("could not lock the local folder"), local,
                code == platform::winerr::WaitTimeout
                    ? QStringLiteral("another install into it did not finish within %1 seconds")
                          .arg(std::chrono::duration_cast<std::chrono::seconds>(vek::folderlockwait()).count())
                    : QString());
        case vek::PlacementStep::KeepCurrent:
            return failed(code, QStringLiteral("could not keep the current file as its backup"), failure.path,
                          QString(), failure.leftovers);
        case vek::PlacementStep::WriteFolder:
            if (code == platform::winerr::AlreadyExists)
                return failed(code, QStringLiteral("could not make its work file"), failure.path,
                              QStringLiteral("something that is not ours stands under that name"));
            return failed(code, QStringLiteral("could not write into the local folder"), local, failure.reason);
        case vek::PlacementStep::Replace:
            return failed(code, QStringLiteral("could not replace"), failure.path, QString(), failure.leftovers);
        case vek::PlacementStep::Check:
            return failed(code, QStringLiteral("refused ") + source.what, source.path, failure.reason);
        case vek::PlacementStep::MoveBackup:
            return failed(code, QStringLiteral("could not move the backup"), failure.path, QString(),
                          failure.leftovers);
        }
    }
    InstallOutcome outcome;
    outcome.name = name;
    outcome.installed = platform::isFile(current);
    if (!outcome.installed)
        outcome.message = kCouldNotInstallPrefix + name;
    return outcome;
}

InstallOutcome placecopy(const CopySource& source, const QString& localFolder, const QString& name,
                         const QString& errorPrefix, const InstallProgress& progress, const vek::StreamedCheck& check)
{
    return placeprogram(source, localFolder, name, errorPrefix, [&](const QString& current, vek::PlacementFailure* f) {
        return vek::copywithgenerations(source.path, current, progress, f, check);
    });
}

}  // namespace installer
