// Exports a shown list view of the rows of DIR/table.tsv as a CSV file with
// listviewtocsv and, in alternation, times Python's csv writer writing the
// same rows (read from DIR/table.tsv) with the same header, as UTF-8 behind
// its mark.
//   bench_csv DIR ROUNDS
// Prints one line per round: "csv", our milliseconds, the peer's milliseconds.
// Ours is the export alone (the rows are in the view already, as the file is
// on the disk for the peer); the peer's is its whole process: start, read,
// write.
#include "bench/common.h"
#include "bench/tableview.h"
#include "forms/listviewcsv.h"
#include "lib/textlists.h"
#include "platform/controls/tlistview.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kPeer[] = "import csv, sys\n"
                     "with open(sys.argv[1], encoding='utf-8') as f:\n"
                     "    rows = [line.rstrip('\\n').split('\\t') for line in f]\n"
                     "with open(sys.argv[2], 'w', newline='', encoding='utf-8-sig') as f:\n"
                     "    w = csv.writer(f)\n"
                     "    w.writerow(['Name', 'Number', 'Date'])\n"
                     "    w.writerows(rows)\n";

}  // namespace

int main(int argc, char** argv)
{
    if (!bench::hasArguments(argc, 2, "bench_csv DIR ROUNDS"))
        return 2;
    bench::preferOffscreen();
    QApplication app(argc, argv);
    bench::useFamilyFormats();
    const std::string dir = argv[1];
    const int rounds = std::atoi(argv[2]);

    platform::TListView view;
    bench::filltableview(view, dir);

    const QString ours = QString::fromStdString(dir + "/ours.csv");
    const std::string peerFile = dir + "/peer.csv";
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        const int rc = vek::listviewtocsv(&view, ours, u',', false);
        const double oursMs = bench::msSince(start);
        if (rc != 0) {
            std::fprintf(stderr, "listviewtocsv failed: %d\n", rc);
            return 1;
        }
        const double peerMs = bench::runPeer({"python3", "-c", kPeer, dir + "/table.tsv", peerFile});
        std::printf("csv %.1f %.1f\n", oursMs, peerMs);
        std::fflush(stdout);
    }
    return 0;
}
