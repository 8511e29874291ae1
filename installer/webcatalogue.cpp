#include "installer/webcatalogue.h"

#include "lib/fileops.h"
#include "platform/fileapi.h"

#include <vector>

namespace installer {
namespace {

// The bytes of `name` as the patterns match them, in `buffer`: an ASCII
// name is copied as it is, any other encoded as a folder's name would be.
void namebytes(const QString& name, QByteArray& buffer)
{
    char16_t all = 0;
    for (const QChar c : name)
        all |= c.unicode();
    if (all >= 0x80) {
        buffer = platform::encodePath(name);
        return;
    }
    buffer.resize(name.size());
    char* out = buffer.data();
    for (const QChar c : name)
        *out++ = static_cast<char>(c.unicode());
}

}  // namespace

vek::FolderFiles findwebprograms(const vek::ServerIndex& index, const QString& patterns)
{
    std::vector<platform::WildcardPattern> matchers;
    for (const QString& pattern : vek::splitpatterns(patterns)) {
        if (!pattern.isEmpty())
            matchers.emplace_back(pattern);
    }
    // One pass over the names, each name's bytes made once for every
    // pattern; the hits are then listed pattern after pattern.
    std::vector<std::vector<qsizetype>> hits(matchers.size());
    QByteArray bytes;
    for (qsizetype i = 0; i < index.size(); ++i) {
        namebytes(index[i].name, bytes);
        for (size_t p = 0; p < matchers.size(); ++p) {
            if (matchers[p].matches(bytes))
                hits[p].push_back(i);
        }
    }
    vek::FolderFiles files;
    qsizetype total = 0;
    for (const auto& h : hits)
        total += static_cast<qsizetype>(h.size());
    files.names.reserve(total);
    files.dates.reserve(total);
    const vek::ListingDateText datetext;
    for (const auto& h : hits) {
        for (const qsizetype i : h) {
            files.names.append(index[i].name);
            files.dates.append(datetext(index[i].modified));
        }
    }
    return files;
}

}  // namespace installer
