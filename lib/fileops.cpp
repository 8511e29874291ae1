#include "lib/fileops.h"

#include "lib/basictext.h"
#include "lib/folders.h"
#include "lib/stamps.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

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

int findfiles(const QString& folder, const QString& patterns, QStringList* names, QStringList* sizes,
              QStringList* dates)
{
    if (!names)
        return -1;
    names->clear();
    if (sizes)
        sizes->clear();
    if (dates)
        dates->clear();
    const QString base = addslash(folder);
    int result = -1;
    for (const QString& pattern : splitpatterns(patterns)) {
        // A pattern may carry a folder of its own below the searched one.
        const QString full = base + pattern;
        const qsizetype cut = full.lastIndexOf(platform::kPathSep);
        const QString dir = full.left(cut + 1);
        const QString mask = full.mid(cut + 1);
        if (!mask.isEmpty()) {
            platform::listFiles(dir, mask, [&](const platform::FileEntry& e) {
                names->append(e.name);
                if (sizes)
                    sizes->append(QString::number(e.size));
                if (dates)
                    dates->append(datetext(listingtime(e.modified)));
            });
        }
        result = names->isEmpty() ? 1 : 0;
    }
    return result < 0 ? 1 : result;
}

int filecopy(const QString& source, const QString& destination)
{
    return platform::copyFile(source, destination, false);
}

int blockcopy(const QString& source, const QString& destination)
{
    if (sameasciinocase(source, destination))
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
