// One libFuzzer entry point, built once per harness (FUZZ_HARNESS names it).
// A broken property aborts, so the fuzzer keeps the input like a crash.
#include "checks.h"
#include "familychecks.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace {

// Runs the input through the named harness's checks.
using Runner = QString (*)(const QByteArray&);

template <typename H, QString (*Name)(H), QList<H> (*All)(), QString (*Run)(H, const QByteArray&)> Runner runnerFrom()
{
    for (const H h : All()) {
        if (Name(h) == QLatin1String(FUZZ_HARNESS)) {
            static const H chosen = h;
            return [](const QByteArray& input) { return Run(chosen, input); };
        }
    }
    return nullptr;
}

Runner harness()
{
    static const Runner chosen = [] {
        if (const Runner r = runnerFrom<fuzzchecks::Harness, fuzzchecks::harnessName, fuzzchecks::allHarnesses,
                                        fuzzchecks::runCheck>())
            return r;
        if (const Runner r = runnerFrom<fuzzchecks::FamilyHarness, fuzzchecks::familyHarnessName,
                                        fuzzchecks::allFamilyHarnesses, fuzzchecks::runFamilyCheck>())
            return r;
        std::fprintf(stderr, "unknown harness %s\n", FUZZ_HARNESS);
        std::abort();
    }();
    return chosen;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // List views need a widget application; there is no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_" FUZZ_HARNESS;
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    // Scratch files on a memory file system where there is one: ini writes sync to disk.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    fuzzchecks::setScratchFolder(base + QStringLiteral("/tessarine-fuzz-")
                                 + QString::number(QCoreApplication::applicationPid()));
    // Gone when the run ends (a crash leaves it for a look).
    std::atexit([] { QDir(fuzzchecks::scratchFolder()).removeRecursively(); });
    harness();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString result
        = harness()(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!result.isEmpty()) {
        std::fprintf(stderr, "property failed: %s\n", result.toUtf8().constData());
        std::abort();
    }
    return 0;
}
