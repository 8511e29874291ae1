#include "lib/signaturerecord.h"

#include "lib/generations.h"
#include "platform/fileapi.h"
#include "platform/pathbytes.h"
#include "platform/winerror.h"
#include "platform/workfile.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace vek {
namespace {

// The first line, so that a file of another kind under the name is not read as ours.
const QByteArray kRecordHeader = QByteArrayLiteral("# Tessarine Installer: signatures of ");
constexpr int kFieldCount = 6;

}  // namespace

QString signaturerecordname(const QString& current)
{
    return hiddenworkname(current, kSignatureRecordSuffix);
}

std::optional<SignatureRecord::Entry> SignatureRecord::identity(const QString& path)
{
    struct stat st {};
    if (::lstat(platform::encodePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    Entry entry;
    entry.device = st.st_dev;
    entry.inode = st.st_ino;
    entry.size = st.st_size;
    entry.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return entry;
}

int SignatureRecord::read(const QString& current)
{
    entries_.clear();
    const QString path = signaturerecordname(current);
    struct stat st {};
    if (::lstat(platform::encodePath(path).constData(), &st) != 0)
        return errno == ENOENT ? 0 : platform::winErrorFromErrno(errno, path);
    // Only a plain file of ours is read: a link planted under the name would
    // hand us another file's words as the timestamps installed.
    if (!S_ISREG(st.st_mode))
        return platform::winerr::BadFileType;
    QByteArray bytes;
    if (const int code = platform::readWholeFile(path, bytes))
        return code;
    const QList<QByteArray> lines = bytes.split('\n');
    if (!lines.first().startsWith(kRecordHeader))
        return platform::winerr::FileInvalid;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split(' ');
        bool ok = fields.size() == kFieldCount;
        Entry entry;
        if (ok) {
            bool each[kFieldCount] = {};
            entry.device = fields[0].toULongLong(&each[0]);
            entry.inode = fields[1].toULongLong(&each[1]);
            entry.size = fields[2].toLongLong(&each[2]);
            entry.modifiedNs = fields[3].toLongLong(&each[3]);
            entry.file.timestamp = fields[4].toLongLong(&each[4]);
            entry.file.verified = fields[5].toInt(&each[5]) == 1;
            for (const bool b : each)
                ok = ok && b;
        }
        if (!ok) {
            entries_.clear();
            return platform::winerr::FileInvalid;
        }
        entries_.append(entry);
    }
    return 0;
}

std::optional<SignedFile> SignatureRecord::find(const QString& path) const
{
    const std::optional<Entry> now = identity(path);
    if (!now)
        return std::nullopt;
    for (const Entry& entry : entries_) {
        if (entry.device == now->device && entry.inode == now->inode && entry.size == now->size
            && entry.modifiedNs == now->modifiedNs)
            return entry.file;
    }
    return std::nullopt;
}

bool SignatureRecord::set(const QString& path, const SignedFile& file)
{
    std::optional<Entry> now = identity(path);
    if (!now)
        return false;
    now->file = file;
    entries_.removeIf([&](const Entry& e) { return e.device == now->device && e.inode == now->inode; });
    entries_.append(*now);
    return true;
}

int SignatureRecord::write(const QString& current, const QStringList& keep) const
{
    QStringList standing = keep;
    standing.append(current);
    for (int n = 1; n <= kGenerationCount; ++n)
        standing.append(generationname(current, n));
    QByteArray text = kRecordHeader + platform::encodePath(QFileInfo(current).fileName()).toPercentEncoding() + '\n';
    for (const Entry& entry : entries_) {
        const bool stands = std::any_of(standing.cbegin(), standing.cend(), [&](const QString& path) {
            const std::optional<Entry> now = identity(path);
            return now && now->device == entry.device && now->inode == entry.inode && now->size == entry.size
                && now->modifiedNs == entry.modifiedNs;
        });
        if (!stands)
            continue;
        text += QByteArray::number(entry.device) + ' ' + QByteArray::number(entry.inode) + ' '
            + QByteArray::number(entry.size) + ' ' + QByteArray::number(entry.modifiedNs) + ' '
            + QByteArray::number(entry.file.timestamp) + ' ' + (entry.file.verified ? "1" : "0") + '\n';
    }
    const QString record = signaturerecordname(current);
    // Made exclusively and renamed over the record: a link planted under the
    // record's name is replaced, never written through.
    const QString work = platform::uniqueWorkName(record, platform::kSaveWorkSuffix);
    int code = platform::writeWorkFile(work, text, 0644);
    if (code == 0)
        code = platform::replaceFile(work, record);
    if (code == 0)
        code = platform::syncFolder(QFileInfo(record).path());
    if (code != 0)
        (void)platform::deleteFile(work);  // gone already when the rename happened; the record is as it was
    return code;
}

}  // namespace vek
