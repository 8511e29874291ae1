#include "lib/fileops.h"

#include "lib/basictext.h"
#include "lib/folders.h"
#include "lib/stamps.h"
#include "platform/atomicwrite.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <ctime>
#include <vector>

namespace vek {

QStringList splitpatterns(const QString& patterns)
{
    QStringList out;
    QString piece;
    bool quoted = false;
    for (const QChar c : patterns) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u';' && !quoted) {
            out.append(piece);
            piece.clear();
        } else {
            piece.append(c);
        }
    }
    if (!piece.isEmpty())
        out.append(piece);
    return out;
}

QDateTime listingtime(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch - (secondsSinceEpoch & 1));
}

// The date texts of file times, as datetext(listingtime(t)) writes them. The
// local time comes from the C library directly: the time zone is read once per
// listing rather than once per file, which is most of what a large listing
// costs. Times outside 1970..2037 go the long way, where Qt has rules of its own.
ListingDateText::ListingDateText()
{
    ::tzset();
}

namespace {
constexpr qint64 kLastPlainSecond = 2145916799;  // 2037-12-31 23:59:59 UTC
}  // namespace

QString ListingDateText::operator()(qint64 secondsSinceEpoch) const
{
    const qint64 even = secondsSinceEpoch - (secondsSinceEpoch & 1);
    if (even >= 0 && even <= kLastPlainSecond) {
        const time_t t = static_cast<time_t>(even);
        struct tm parts {};
        if (::localtime_r(&t, &parts) && parts.tm_sec < 60) {
            return datetext(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                            QTime(parts.tm_hour, parts.tm_min, parts.tm_sec));
        }
    }
    return datetext(listingtime(secondsSinceEpoch));
}

namespace {

// A walk over the folders the patterns name: every folder that can be read is
// listed, and the first one that cannot is remembered.
struct FolderWalk {
    FolderFiles files;
    int code = 0;
    QString unreadable;
};

FolderWalk walkfolders(const QString& folder, const QString& patterns, ListingDetails details)
{
    const bool withSizes = details == ListingDetails::Sizes || details == ListingDetails::SizesAndDates;
    const bool withDates = details == ListingDetails::Dates || details == ListingDetails::SizesAndDates;
    FolderWalk walk;
    const QString base = addslash(folder);
    const ListingDateText listingDate;
    const auto add = [&](int, const platform::FileEntry& e) {
        walk.files.names.append(e.name);
        if (withSizes)
            walk.files.sizes.append(QString::number(e.size));
        if (withDates)
            walk.files.dates.append(listingDate(e.modified));
    };
    const auto list = [&](const QString& dir, const QStringList& masks) {
        const int rc = platform::listFiles(dir, masks, add);
        if (rc != 0 && walk.code == 0) {
            walk.code = rc;
            walk.unreadable = dir;
        }
    };
    // A pattern may carry a folder of its own below the searched one. Patterns
    // in a row that share a folder are matched in one reading of it, which
    // still gives the files pattern after pattern.
    QString runFolder;
    QStringList runMasks;
    for (const QString& pattern : splitpatterns(patterns)) {
        const QString full = base + pattern;
        const qsizetype cut = full.lastIndexOf(platform::kPathSep);
        const QString dir = full.left(cut + 1);
        const QString mask = full.mid(cut + 1);
        if (mask.isEmpty())
            continue;
        if (!runMasks.isEmpty() && dir != runFolder) {
            list(runFolder, runMasks);
            runMasks.clear();
        }
        runFolder = dir;
        runMasks.append(mask);
    }
    if (!runMasks.isEmpty())
        list(runFolder, runMasks);
    return walk;
}

}  // namespace

platform::Result<FolderFiles> listfolderfiles(const QString& folder, const QString& patterns, ListingDetails details)
{
    FolderWalk walk = walkfolders(folder, patterns, details);
    if (walk.code != 0)
        return platform::fail(walk.code, kUnreadableFolder.arg(walk.unreadable, platform::errorText(walk.code)));
    return std::move(walk.files);
}

int findfiles(const QString& folder, const QString& patterns, QStringList* names, QStringList* sizes,
              QStringList* dates)
{
    if (!names)
        return -1;
    const ListingDetails details = sizes ? (dates ? ListingDetails::SizesAndDates : ListingDetails::Sizes)
                                         : (dates ? ListingDetails::Dates : ListingDetails::NamesOnly);
    // The family's codes know "none found" only: a folder that cannot be read
    // lists nothing, and the folders beside it that can still list theirs.
    FolderWalk walk = walkfolders(folder, patterns, details);
    *names = std::move(walk.files.names);
    if (sizes)
        *sizes = std::move(walk.files.sizes);
    if (dates)
        *dates = std::move(walk.files.dates);
    return names->isEmpty() ? 1 : 0;
}

int filecopy(const QString& source, const QString& destination)
{
    if (!platform::isFile(destination) || platform::sameFile(source, destination))
        return platform::copyFile(source, destination, false);
    // An existing file is replaced only by a complete copy: the copy is made
    // beside it (beside the file a link leads to) and renamed over it.
    const QString target = platform::savedPath(destination);
    const QString work = platform::uniqueWorkName(target, platform::kSaveWorkSuffix);
    const int rc = platform::copyToWorkFile(source, work);
    if (rc == platform::winerr::AccessDenied && platform::isFile(source) && platform::sameFile(target, destination)) {
        // A folder that takes no new file, holding a file that may be written:
        // the copy goes over the file itself, as it always did.
        return platform::copyFile(source, destination, false);
    }
    if (rc != 0)
        return rc;
    if (const int placed = platform::replaceFile(work, target)) {
        (void)platform::deleteFile(work);  // the old file stands as it was
        return placed;
    }
    return 0;
}

int blockcopy(const QString& source, const QString& destination)
{
    // Copying a file onto itself would empty it before reading it.
    if (source == destination || platform::sameFile(source, destination))
        return -1;
    platform::RawFile in;
    int code = in.open(source, platform::OpenMode::Read);
    platform::RawFile out;
    if (code == 0)
        code = out.open(destination, platform::OpenMode::Write);
    if (code == 0) {
        std::vector<char> buffer(1 << 20);
        for (;;) {
            qint64 got = 0;
            code = in.read(buffer.data(), static_cast<qint64>(buffer.size()), &got);
            if (code != 0 || got == 0)
                break;
            code = out.write(buffer.data(), got);
            if (code != 0)
                break;
        }
    }
    if (in.isOpen()) {
        const int rc = in.close();
        if (code == 0)
            code = rc;
    }
    if (out.isOpen()) {
        const int rc = out.close();
        if (code == 0)
            code = rc;
    }
    return code;
}

int blockmove(const QString& source, const QString& destination)
{
    const int code = blockcopy(source, destination);
    return code != 0 ? code : removefile(source);
}

int removefile(const QString& name)
{
    return platform::deleteFile(trimtext(name));
}

int renamefile(const QString& oldName, const QString& newName)
{
    return platform::moveFile(trimtext(oldName), newName);
}

int fileinfo(const QString& name, qint64& size, QDateTime& date)
{
    platform::FileEntry entry;
    if (platform::findFirstFile(name, &entry) != 0) {
        size = 0;
        date = QDateTime();
        return platform::winerr::FileNotFound;
    }
    size = entry.size;
    date = listingtime(entry.modified);
    return 0;
}

int filedatetext(const QString& name, qint64& size, QString& text)
{
    QDateTime date;
    const int code = fileinfo(name, size, date);
    text = code == 0 ? datetext(date) : QString();
    return code;
}

}  // namespace vek
