#include "installer/webcatalogue.h"

#include "lib/fileops.h"
#include "platform/fileapi.h"

namespace installer {

vek::FolderFiles findwebprograms(const vek::ServerIndex& index, const QString& patterns)
{
    vek::FolderFiles files;
    const vek::ListingDateText datetext;
    // Each name's bytes once, for every pattern.
    QList<QByteArray> bytes;
    bytes.reserve(index.size());
    for (const vek::ServerIndexEntry& e : index)
        bytes.append(platform::encodePath(e.name));
    for (const QString& pattern : vek::splitpatterns(patterns)) {
        if (pattern.isEmpty())
            continue;
        const platform::WildcardPattern matcher(pattern);
        for (qsizetype i = 0; i < index.size(); ++i) {
            if (matcher.matches(bytes[i])) {
                files.names.append(index[i].name);
                files.dates.append(datetext(index[i].modified));
            }
        }
    }
    return files;
}

}  // namespace installer
