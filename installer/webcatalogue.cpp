#include "installer/webcatalogue.h"

#include "lib/fileops.h"
#include "platform/fileapi.h"

namespace installer {

vek::FolderFiles findwebprograms(const vek::ServerIndex& index, const QString& patterns)
{
    vek::FolderFiles files;
    const vek::ListingDateText datetext;
    for (const QString& pattern : vek::splitpatterns(patterns)) {
        if (pattern.isEmpty())
            continue;
        for (const vek::ServerIndexEntry& e : index) {
            if (platform::wildcardMatch(pattern, e.name)) {
                files.names.append(e.name);
                files.dates.append(datetext(e.modified));
            }
        }
    }
    return files;
}

}  // namespace installer
