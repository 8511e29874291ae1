// The catalogue of a server folder on a web server, for the side-by-side
// comparison with curl fetching the index:
//   bench_webfolder URL LOCALFOLDER=DIR   fetches the index of the folder URL and
//                                         lists its programs as the window does
//                                         (the transfer log goes under DIR)
#include "bench/common.h"
#include "installer/webcatalogue.h"
#include "web/serverindexfetch.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!bench::hasArguments(argc, 2, "bench_webfolder URL LOCALFOLDER=DIR"))
        return 2;
    bench::useFamilyFormats();
    vek::WebIndex index;
    const vek::IndexFetch fetch = vek::fetchserverindex(bench::arg(argv, 1), index);
    if (fetch.code != 0) {
        std::fprintf(stderr, "%s\n", qPrintable(fetch.message));
        return 1;
    }
    QStringList names, dates;
    installer::findwebprograms(index.entries, QStringLiteral("*.exe;*.ocx;*.dll"), &names, &dates);
    std::fprintf(stderr, "%lld programs listed\n", static_cast<long long>(names.size()));
    return names.isEmpty() ? 1 : 0;
}
