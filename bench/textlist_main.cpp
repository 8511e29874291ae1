// Loads a list file and saves it under another name, as a whole process.
//   bench_textlist [-v] IN OUT      -v: the time of each step on the error output
#include "bench/common.h"
#include "lib/textlists.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool verbose = argc > 1 && std::strcmp(argv[1], "-v") == 0;
    const int first = verbose ? 2 : 1;
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: bench_textlist [-v] IN OUT\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    QStringList list;
    vek::loadlist(list, bench::arg(argv, first));
    const double loaded = bench::msSince(start);
    if (list.isEmpty()) {
        std::fprintf(stderr, "nothing loaded\n");
        return 1;
    }
    const bool saved = vek::savelist(list, bench::arg(argv, first + 1));
    if (verbose)
        std::fprintf(stderr, "lines %lld load %.1f ms save %.1f ms\n", static_cast<long long>(list.size()), loaded,
                     bench::msSince(start) - loaded);
    return saved ? 0 : 1;
}
