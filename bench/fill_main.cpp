// Fills a shown list view with the rows of DIR/table.tsv (name, number, date,
// one row a line) and, in alternation, times loadlist reading the same file.
//   bench_fill DIR ROUNDS
// Prints one line per round: "fill", our milliseconds, the peer's milliseconds.
// Ours is the rows going in (one update bracket) and the repaint that shows
// them; their texts are in memory already, as a caller's are, and are handed
// over. The peer is loadlist reading the file's lines.
// glibc gathers the small blocks freed since its last large request at the
// next large request; before each timing one is made, untimed, so that
// neither side pays for the blocks the other one freed.
#include "bench/common.h"
#include "lib/textlists.h"
#include "platform/controls/tlistview.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void settleFreedBlocks()
{
    std::free(std::malloc(64 * 1024));
}

}  // namespace

int main(int argc, char** argv)
{
    if (!bench::hasArguments(argc, 2, "bench_fill DIR ROUNDS"))
        return 2;
    bench::preferOffscreen();
    QApplication app(argc, argv);
    bench::useFamilyFormats();
    const QString file = QString::fromStdString(std::string(argv[1]) + "/table.tsv");
    const int rounds = std::atoi(argv[2]);
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");

    struct Row {
        QString caption;
        QStringList subItems;
    };
    std::vector<Row> rows;
    {
        QStringList lines;
        vek::loadlist(lines, file);
        rows.reserve(static_cast<size_t>(lines.size()));
        for (const QString& line : lines) {
            QStringList f = line.split(u'\t');
            const QString caption = f.takeFirst();
            rows.push_back({caption, f});
        }
    }
    if (rows.empty()) {
        std::fprintf(stderr, "nothing in %s\n", qPrintable(file));
        return 1;
    }

    platform::TListView view;
    view.addColumn(QStringLiteral("Name"), 200);
    view.addColumn(QStringLiteral("Number"), 100);
    view.addColumn(QStringLiteral("Date"), 125);
    view.resize(500, 400);
    view.show();
    QApplication::processEvents();
    for (int r = 0; r < rounds; ++r) {
        view.clearItems();
        QApplication::processEvents();
        std::vector<Row> handed = rows;
        settleFreedBlocks();
        const auto start = std::chrono::steady_clock::now();
        view.beginUpdate();
        for (Row& row : handed)
            view.appendRow(std::move(row.caption), std::move(row.subItems));
        const double appended = bench::msSince(start);
        view.endUpdate();
        const double announced = bench::msSince(start);
        QApplication::processEvents();
        const double ours = bench::msSince(start);
        if (verbose)
            std::fprintf(stderr, "append %.1f ms, announce %.1f ms, lay out and paint %.1f ms\n", appended,
                         announced - appended, ours - announced);
        if (view.count() != static_cast<int>(rows.size()))
            return 1;

        handed.clear();
        settleFreedBlocks();
        const auto peerStart = std::chrono::steady_clock::now();
        QStringList lines;
        vek::loadlist(lines, file);
        const double peer = bench::msSince(peerStart);
        if (lines.size() != static_cast<qsizetype>(rows.size()))
            return 1;
        std::printf("fill %.3f %.3f\n", ours, peer);
        std::fflush(stdout);
    }
    return 0;
}
