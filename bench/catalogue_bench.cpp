// The catalogue rebuild that every key release in the filter box causes, in the
// real installer window on the offscreen platform, against the bare listing of
// the same folder.
//   bench_catalogue [--benchmark_...] FOLDER
#include "bench/common.h"
#include "installer/TessarineInstallu.h"
#include "lib/fileops.h"
#include "platform/runargs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

using namespace installer;

namespace {

TInstallfm* g_form = nullptr;
QString g_folder;

// The rows are the window's: it lists the server folder itself once shown, and
// the filter box then calls FindPrograms again on every key release. The
// repaint that follows is part of what the user waits for.
void BM_FindPrograms(benchmark::State& state)
{
    const QString filter = state.range(0) ? QStringLiteral("a") : QString();
    for (auto _ : state) {
        g_form->FindPrograms(g_folder, g_form->Serverlv, filter);
        QApplication::processEvents();
    }
    state.counters["rows"] = g_form->Serverlv->count();
}
BENCHMARK(BM_FindPrograms)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_findfiles(benchmark::State& state)
{
    QStringList names, sizes, dates;
    for (auto _ : state)
        vek::findfiles(g_folder, QStringLiteral("*.exe;*.ocx;*.dll"), &names, &sizes, &dates);
    state.counters["rows"] = static_cast<double>(names.size());
}
BENCHMARK(BM_findfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!bench::hasArguments(argc, 1, "bench_catalogue [--benchmark_...] FOLDER"))
        return 2;
    bench::preferOffscreen();
    QApplication app(argc, argv);
    bench::useFamilyFormats();
    g_folder = bench::arg(argv, 1);
    const QStringList args{QApplication::applicationFilePath(), QStringLiteral("SERVER=") + g_folder};
    platform::setRunArguments(args);

    TInstallfm form(installer::parseRunRequest(args));
    g_form = &form;
    form.show();
    // Wait for the window's own first listing (after its start delay).
    QElapsedTimer waited;
    waited.start();
    while (form.Serverlv->count() == 0 && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (form.Serverlv->count() == 0) {
        std::fprintf(stderr, "the window listed nothing in %s\n", qPrintable(g_folder));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
