// Sorts a shown list view of the rows of DIR/table.tsv by its text, number
// and date column with the column-click sort, and in alternation times `sort`
// on the same column written as a text file (DIR/names.txt, numbers.txt,
// dates.txt). Before every sort the rows are put in a fresh random order.
//   bench_sort DIR ROUNDS
// Prints one line per sort: operation, our milliseconds, the peer's milliseconds.
// Ours is the click alone (the rows are in the view already, as the file is on
// the disk for the peer) plus the repaint it causes; the peer's is its whole
// process: start, read, sort, write to /dev/null.
#include "bench/common.h"
#include "bench/tableview.h"
#include "lib/listviews.h"
#include "lib/textlists.h"

#include <QApplication>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

int main(int argc, char** argv)
{
    if (!bench::hasArguments(argc, 2, "bench_sort DIR ROUNDS"))
        return 2;
    bench::preferOffscreen();
    QApplication app(argc, argv);
    bench::useFamilyFormats();
    const std::string dir = argv[1];
    const int rounds = std::atoi(argv[2]);
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");

    platform::TListView view;
    bench::filltableview(view, dir);

    struct Case {
        const char* name;
        int column;
        std::vector<std::string> peer;
    };
    const std::vector<Case> cases = {
        {"sort-number", 1, {"sort", "-r", "-n", dir + "/numbers.txt"}},
        {"sort-text", 0, {"sort", "-r", dir + "/names.txt"}},
        {"sort-date", 2, {"sort", "-r", "-k1.7,1.10", "-k1.4,1.5", "-k1.1,1.2", "-k2,2", dir + "/dates.txt"}},
    };
    std::mt19937 rng(7);
    for (int r = 0; r < rounds; ++r) {
        for (const Case& c : cases) {
            std::vector<int> order(static_cast<size_t>(view.count()));
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), rng);
            const auto shuffled = std::chrono::steady_clock::now();
            if (!view.setRowOrder(order))
                return 1;
            QApplication::processEvents();
            if (verbose)
                std::fprintf(stderr, "reorder alone %.3f ms\n", bench::msSince(shuffled));

            bool descending = false;
            const auto start = std::chrono::steady_clock::now();
            vek::sortlistview(&view, c.column, descending);
            QApplication::processEvents();
            const double ours = bench::msSince(start);
            const double peer = bench::runPeer(c.peer, true);
            std::printf("%s %.3f %.3f\n", c.name, ours, peer);
            std::fflush(stdout);
        }
    }
    return 0;
}
