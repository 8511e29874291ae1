#include "installer/makeindex.h"

#include "installer/commandline.h"
#include "lib/folders.h"
#include "lib/serverindex.h"
#include "platform/atomicwrite.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"
#include "trust/verify.h"
#include "web/sha256.h"

namespace installer {
namespace {

const QString kCannotReadForIndex = QStringLiteral("Cannot read %1: %2");
const QString kCannotWriteIndex = QStringLiteral("Cannot write %1: %2");

QString failedmessage(const QString& path, int code)
{
    return kCannotReadForIndex.arg(path, platform::errorText(code));
}

}  // namespace

IndexMade makeserverindex(const QString& folder)
{
    const QString base = vek::addslash(folder);
    QList<platform::FileEntry> files;
    if (const int rc = platform::listFiles(base, QStringLiteral("*"), [&](const platform::FileEntry& e) {
            if (e.name != vek::kServerIndexName && e.name != trust::signaturefor(vek::kServerIndexName))
                files.append(e);
        }))
        return {rc, failedmessage(base, rc)};
    vek::ServerIndex index;
    for (const platform::FileEntry& e : files) {
        if (const QString problem = vek::indexnameproblem(e.name); !problem.isEmpty())
            return {platform::winerr::InvalidName, kIndexNameRefused.arg(base + e.name, problem)};
    }
    for (const platform::FileEntry& e : files) {
        QByteArray digest;
        if (const int rc = vek::sha256file(base + e.name, &digest))
            return {rc, failedmessage(base + e.name, rc)};
        index.append({e.name, e.size, e.modified, vek::IndexDigest(digest)});
    }
    const QString target = base + vek::kServerIndexName;
    if (const int rc = platform::writeFileAtomically(target, vek::formatserverindex(index)))
        return {rc, kCannotWriteIndex.arg(target, platform::errorText(rc))};
    return {0, kIndexWritten.arg(target).arg(index.size())};
}

CommandLineAnswer makeindexanswer(const QString& folder)
{
    if (folder.isEmpty())
        return {kUsageErrorStatus, QString(),
                QStringLiteral("%1: --make-index needs the folder to index\n").arg(kProgramName)};
    const IndexMade made = makeserverindex(folder);
    if (made.code != 0)
        return {kMakeIndexFailedStatus, QString(), made.message + u'\n'};
    return {0, made.message + u'\n', QString()};
}

}  // namespace installer
