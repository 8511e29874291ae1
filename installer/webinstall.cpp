#include "installer/webinstall.h"

#include "installer/placecopy.h"
#include "installer/webroad.h"
#include "lib/copyplacement.h"
#include "lib/folders.h"
#include "platform/filemode.h"
#include "platform/winerror.h"
#include "web/programdownload.h"
#include "web/transferlog.h"

namespace installer {
namespace {

const QString kServerFile = QStringLiteral("the server file");
const QString kNotListed = QStringLiteral("the server's index does not list it");

}  // namespace

InstallOutcome installfromweb(const QString& serverUrl, const vek::WebIndex& index, const QString& localFolder,
                              const QString& asked, const InstallProgress& progress,
                              const vek::SignaturePolicy& signatures)
{
    if (!isplainprogramname(asked)) {
        InstallOutcome refused;
        refused.name = asked;
        refused.message = kCouldNotInstallPrefix + asked;
        return refused;
    }
    const vek::ServerIndexEntry* entry = webprogramentry(index, asked);
    const QString name = entry ? entry->name : asked;
    const QString address = vek::serverprogramaddress(serverUrl, name);
    // What the messages name: the address without a user and password in it.
    const CopySource source{vek::loggableaddress(address), kServerFile};
    if (!entry) {
        InstallOutcome outcome;
        outcome.name = name;
        outcome.code = platform::winerr::FileNotFound;
        outcome.message = kInstallErrorPrefix + QString::number(outcome.code) + u'\n' + name
            + QStringLiteral(": could not read ") + kServerFile + u' ' + source.path + QStringLiteral(" (") + kNotListed
            + u')';
        return outcome;
    }
    const vek::ExpectedFile expected{entry->size, entry->sha256.hex()};
    return placeprogram(
        source, localFolder, name, kInstallErrorPrefix, [&](const QString& current, vek::PlacementFailure* failure) {
            const auto download = [&](const QString& work, vek::PlacementFailure& failed) {
                const vek::ProgramDownload got
                    = vek::downloadprogram(address, work, expected, platform::replacementFileMode(current), progress);
                if (got.code == 0)
                    return 0;
                failed.step = got.localSide                      ? vek::PlacementStep::WriteFolder
                    : got.code == platform::winerr::DataMismatch ? vek::PlacementStep::Check
                                                                 : vek::PlacementStep::ReadSource;
                failed.path = got.localSide ? work : source.path;
                failed.reason = got.cause;
                return got.code;
            };
            return vek::fillwithgenerations(current, vek::resumableworkname(current), download, failure,
                                            vek::verifiedcheck(signatures, index.signedAt, current));
        });
}

}  // namespace installer
