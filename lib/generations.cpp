#include "lib/generations.h"

#include "platform/fileapi.h"
#include "platform/winerror.h"

#include <QCryptographicHash>
#include <QStringList>
#include <vector>

namespace vek {
namespace {

// The steps taken so far, undone in reverse order when a later one fails.
class UndoLog {
public:
    void renamed(const QString& from, const QString& to) { steps_.push_back({from, to, false}); }
    void created(const QString& path) { steps_.push_back({{}, path, true}); }
    // Takes every step back that can be; the ones that cannot are the leftovers.
    UndoLeftovers undo()
    {
        UndoLeftovers left;
        for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
            const int rc = it->createdOnly ? platform::deleteFile(it->to) : platform::moveFile(it->to, it->from);
            if (rc != 0)
                left.append({it->from, it->to});
        }
        steps_.clear();
        return left;
    }

private:
    struct Step {
        QString from;
        QString to;
        bool createdOnly;
    };
    std::vector<Step> steps_;
};

// A second name for the current file that shares its bytes; where the file
// system has no hard links, a copy.
int keepAsFirstGeneration(const QString& current, const QString& first)
{
    const int rc = platform::linkFile(current, first);
    if (rc != platform::winerr::NotSupported)
        return rc;
    return platform::copyFile(current, first, true);
}

}  // namespace

QString generationname(const QString& current, int n)
{
    return current + QStringLiteral(".X") + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString hiddenworkname(const QString& path, const QString& suffix)
{
    const qsizetype cut = path.lastIndexOf(platform::kPathSep);
    const QStringView name = QStringView(path).mid(cut + 1);
    // The UTF-16 units as they are, so that names which differ only in bytes
    // that are not UTF-8 still get different digests.
    const QByteArray units(reinterpret_cast<const char*>(name.utf16()), name.size() * qsizetype(sizeof(char16_t)));
    const QByteArray digest = QCryptographicHash::hash(units, QCryptographicHash::Sha1).toHex().left(16);
    return path.left(cut + 1) + u'.' + QString::fromLatin1(digest) + suffix;
}

QString overflowname(const QString& current)
{
    return hiddenworkname(current, QStringLiteral(".X11"));
}

QString describeleftovers(const UndoLeftovers& leftovers)
{
    const auto nameOf = [](const QString& path) { return path.mid(path.lastIndexOf(platform::kPathSep) + 1); };
    QStringList parts;
    for (const UndoLeftover& left : leftovers) {
        parts.append(left.was.isEmpty() ? nameOf(left.standsAs) + QStringLiteral(" remains")
                                        : nameOf(left.was) + QStringLiteral(" stays as ") + nameOf(left.standsAs));
    }
    return parts.join(QStringLiteral(", "));
}

int placewithgenerations(const QString& newFile, const QString& current, QString* failedPath, UndoLeftovers* leftovers)
{
    if (leftovers)
        leftovers->clear();
    UndoLog log;
    const auto fail = [&](int code, const QString& path) {
        const UndoLeftovers left = log.undo();
        if (leftovers)
            *leftovers = left;
        if (failedPath)
            *failedPath = path;
        return code;
    };
    const QString overflow = overflowname(current);
    const QString oldest = generationname(current, kGenerationCount);
    // Left by a placement that was interrupted. While it stands, the oldest
    // generation cannot move aside; the cause to report is this delete's.
    if (platform::pathExists(overflow)) {
        if (const int rc = platform::deleteFile(overflow); rc != 0 && platform::pathExists(oldest))
            return fail(rc, overflow);
    }

    // Free the name of the oldest generation without losing it yet.
    if (platform::pathExists(oldest)) {
        if (const int rc = platform::moveFile(oldest, overflow))
            return fail(rc, oldest);
        log.renamed(oldest, overflow);
    }
    for (int n = kGenerationCount - 1; n >= 1; --n) {
        const QString from = generationname(current, n);
        if (!platform::pathExists(from))
            continue;
        const QString to = generationname(current, n + 1);
        if (const int rc = platform::moveFile(from, to))
            return fail(rc, from);
        log.renamed(from, to);
    }
    if (platform::pathExists(current)) {
        const QString first = generationname(current, 1);
        if (const int rc = keepAsFirstGeneration(current, first))
            return fail(rc, first);
        log.created(first);
    }
    if (const int rc = platform::replaceFile(newFile, current))
        return fail(rc, current);
    // The new file stands: only now may the oldest generation go.
    if (platform::pathExists(overflow))
        (void)platform::deleteFile(overflow);  // one left behind is removed by the next placement
    return 0;
}

}  // namespace vek
