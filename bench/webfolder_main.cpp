// A server folder on a web server, for the side-by-side comparison with curl:
//   bench_webfolder index DIR COUNT                 writes DIR/TessarineIndex.txt listing COUNT
//                                                   programs (names, sizes, times and digests
//                                                   made up: the catalogue reads only the index)
//   bench_webfolder catalogue URL LOCALFOLDER=DIR   fetches the index of the folder URL and lists
//                                                   its programs as the window does (the transfer
//                                                   log goes under DIR)
#include "bench/common.h"
#include "installer/webcatalogue.h"
#include "platform/atomicwrite.h"
#include "web/serverindexfetch.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <cstdio>
#include <cstring>

namespace {

int writeindex(const QString& folder, int count)
{
    static const char* kinds[] = {"exe", "exe", "exe", "ocx", "dll", "dll", "txt"};
    vek::ServerIndex index;
    for (int i = 0; i < count; ++i) {
        const QByteArray seed = QByteArray::number(i);
        const QString name = QStringLiteral("Program%1.%2").arg(i).arg(QLatin1String(kinds[i % 7]));
        index.append({name, qint64(i) * 4099 % (50 << 20), 1500000000 + qint64(i) * 7919,
                      vek::IndexDigest(QCryptographicHash::hash(seed, QCryptographicHash::Sha256).toHex())});
    }
    return platform::writeFileAtomically(folder + u'/' + vek::kServerIndexName, vek::formatserverindex(index));
}

int catalogue(const QString& url)
{
    bench::useFamilyFormats();
    vek::WebIndex index;
    const vek::IndexFetch fetch = vek::fetchserverindex(url, index);
    if (fetch.code != 0) {
        std::fprintf(stderr, "%s\n", qPrintable(fetch.message));
        return 1;
    }
    return installer::findwebprograms(index.entries, QStringLiteral("*.exe;*.ocx;*.dll")).names.isEmpty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "index") == 0)
        return writeindex(bench::arg(argv, 2), std::atoi(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "catalogue") == 0)
        return catalogue(bench::arg(argv, 2));
    std::fprintf(stderr, "usage: bench_webfolder index DIR COUNT | bench_webfolder catalogue URL LOCALFOLDER=DIR\n");
    return 2;
}
