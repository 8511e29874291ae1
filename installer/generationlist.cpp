#include "installer/generationlist.h"

#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/signaturerecord.h"
#include "lib/stamps.h"
#include "platform/fileapi.h"
#include "platform/pathbytes.h"

#include <sys/stat.h>

namespace installer {

QList<GenerationEntry> listgenerations(const QString& localFolder, const QString& name, const DigestCall& digest)
{
    const QString current = vek::addslash(localFolder) + name;
    vek::SignatureRecord record;
    // A record that cannot be read shows as none; the next install says why.
    const bool recorded = platform::pathExists(vek::signaturerecordname(current)) && record.read(current) == 0;
    QList<GenerationEntry> entries;
    for (int n = 0; n <= vek::kGenerationCount; ++n) {
        GenerationEntry entry;
        entry.generation = n;
        entry.path = n == 0 ? current : vek::generationname(current, n);
        struct stat st {};
        entry.exists = ::stat(platform::encodePath(entry.path).constData(), &st) == 0 && S_ISREG(st.st_mode);
        if (entry.exists) {
            entry.size = st.st_size;
            entry.modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
            if (digest)
                entry.md5 = digest(entry.path);
            entry.recorded = recorded;
            if (const std::optional<vek::SignedFile> file = record.find(entry.path); file && file->verified)
                entry.verifiedTimestamp = file->timestamp;
        }
        entries.append(entry);
    }
    return entries;
}

QString signaturetext(const GenerationEntry& entry)
{
    if (entry.verifiedTimestamp)
        return kVerifiedText.arg(vek::datetext(QDateTime::fromSecsSinceEpoch(*entry.verifiedTimestamp)));
    return entry.recorded ? kNotVerifiedText : QString();
}

QString generationlabel(int generation)
{
    if (generation == 0)
        return QStringLiteral("current");
    return vek::generationname(QString(), generation);
}

}  // namespace installer
