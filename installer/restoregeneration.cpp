#include "installer/restoregeneration.h"

#include "installer/placecopy.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/signedplacement.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

namespace installer {

InstallOutcome restoregeneration(const QString& localFolder, const QString& name, int generation)
{
    InstallOutcome outcome;
    outcome.name = name;
    if (!isplainprogramname(name) || generation < 1 || generation > vek::kGenerationCount) {
        outcome.code = platform::winerr::InvalidParameter;
        outcome.message = kRestoreErrorPrefix + QString::number(outcome.code) + u'\n' + name
            + QStringLiteral(": there is no backup generation %1 of a program of that name").arg(generation);
        return outcome;
    }
    const QString backup = vek::generationname(vek::addslash(localFolder) + name, generation);
    if (!platform::isFile(backup)) {
        outcome.code = platform::winerr::FileNotFound;
        outcome.message = kRestoreErrorPrefix + QString::number(outcome.code) + u'\n' + name
            + QStringLiteral(": there is no backup ") + backup + QStringLiteral(" (")
            + platform::errorText(outcome.code) + u')';
        return outcome;
    }
    // A deliberate local act: never refused for its signature; the record
    // follows the restored file.
    return placecopy({backup, QStringLiteral("the backup")}, localFolder, name, kRestoreErrorPrefix, {},
                     vek::carrysignature(backup, vek::addslash(localFolder) + name));
}

}  // namespace installer
