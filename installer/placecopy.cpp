#include "installer/placecopy.h"

#include "lib/copyplacement.h"
#include "lib/folders.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"

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
    InstallOutcome operator()(int code, const QString& what, const QString& path,
                              const vek::UndoLeftovers& leftovers = {}) const
    {
        InstallOutcome outcome;
        outcome.name = name_;
        outcome.code = code;
        outcome.message = prefix_ + QString::number(code) + u'\n' + name_ + QStringLiteral(": ") + what + u' ' + path
            + QStringLiteral(" (") + platform::errorText(code) + u')';
        if (!leftovers.isEmpty())
            outcome.message += kBackupsNotPutBack + vek::describeleftovers(leftovers);
        return outcome;
    }

private:
    QString prefix_;
    QString name_;
};

}  // namespace

InstallOutcome placecopy(const CopySource& source, const QString& localFolder, const QString& name,
                         const QString& errorPrefix, const InstallProgress& progress)
{
    const FailureText failed(errorPrefix, name);
    const QString local = vek::addslash(localFolder);
    const QString current = local + name;
    vek::PlacementFailure failure;
    if (const int code = vek::copywithgenerations(source.path, current, progress, &failure)) {
        switch (failure.step) {
        case vek::PlacementStep::ReadSource:
            return failed(code, QStringLiteral("could not read ") + source.what, source.path);
        case vek::PlacementStep::WriteFolder:
            return failed(code, QStringLiteral("could not write into the local folder"), local);
        case vek::PlacementStep::Replace:
            return failed(code, QStringLiteral("could not replace"), failure.path, failure.leftovers);
        case vek::PlacementStep::MoveBackup:
            return failed(code, QStringLiteral("could not move the backup"), failure.path, failure.leftovers);
        }
    }
    InstallOutcome outcome;
    outcome.name = name;
    outcome.installed = platform::isFile(current);
    if (!outcome.installed)
        outcome.message = kCouldNotInstallPrefix + name;
    return outcome;
}

}  // namespace installer
