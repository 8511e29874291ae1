#include "installer/webcatalogue.h"

#include "lib/fileops.h"
#include "platform/fileapi.h"

namespace installer {

void findwebprograms(const vek::ServerIndex& index, const QString& patterns, QStringList* names, QStringList* dates)
{
    names->clear();
    dates->clear();
    const vek::ListingDateText datetext;
    for (const QString& pattern : vek::splitpatterns(patterns)) {
        if (pattern.isEmpty())
            continue;
        for (const vek::ServerIndexEntry& e : index) {
            if (platform::wildcardMatch(pattern, e.name)) {
                names->append(e.name);
                dates->append(datetext(e.modified));
            }
        }
    }
}

}  // namespace installer
