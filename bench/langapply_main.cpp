// Applies a language file of 10 000 records to a window of 2 000 controls
// and, in alternation, loads the same file with loadlist alone.
//   bench_langapply DIR ROUNDS
// Prints one line per round: "langapply", our milliseconds, loadlist's
// milliseconds. Both run in this process on a file in the page cache: the
// apply reads the file, sorts its records, walks the window and sets every
// control's text; loadlist only reads the lines.
#include "bench/common.h"
#include "lang/langfile.h"
#include "lang/langmess.h"
#include "lib/textlists.h"
#include "platform/controls/tform.h"
#include "platform/controls/tstdctrls.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kEachKind = 400;
constexpr int kRecords = 10000;
const QString kScreen = QStringLiteral("Benchfm");
const QString kCode = QStringLiteral("de");

template <typename Control> void addControls(platform::TForm& form, const char* prefix)
{
    for (int i = 0; i < kEachKind; ++i) {
        auto* control = new Control(&form);
        control->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(i));
        control->setCaption(QStringLiteral("%1 caption %2").arg(QLatin1String(prefix)).arg(i));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!bench::hasArguments(argc, 2, "bench_langapply DIR ROUNDS"))
        return 2;
    bench::preferOffscreen();
    QApplication app(argc, argv);
    const QString base = bench::arg(argv, 1) + QStringLiteral("/");
    const int rounds = std::atoi(argv[2]);

    platform::TForm form;
    form.setObjectName(kScreen);
    form.setCaption(QStringLiteral("Bench window"));
    addControls<platform::TLabel>(form, "Lab");
    addControls<platform::TButton>(form, "Btn");
    addControls<platform::TCheckBox>(form, "Chk");
    addControls<platform::TGroupBox>(form, "Grp");
    addControls<platform::TPanel>(form, "Pnl");

    // The window's own records, translated, and message records up to
    // 10 000, saved as the editor saves a file.
    vek::langfiledefn file(base);
    if (!file.makelangrecords(kScreen, kCode, &form)) {
        std::fprintf(stderr, "capture failed: %s\n", qPrintable(file.errorstr));
        return 1;
    }
    const QStringList captured = file.langrecords.lines();
    for (const QString& line : captured) {
        const qsizetype us = line.indexOf(u'_');
        const qsizetype eq = line.indexOf(u'=');
        file.writerecord(line.left(us), line.mid(us + 1, eq - us - 1), line.mid(eq + 1) + QStringLiteral(" (de)"));
    }
    for (int i = int(captured.size()); i < kRecords; ++i)
        file.writerecord(QStringLiteral("message"), QStringLiteral("Message_%1").arg(i),
                         QStringLiteral("Meldung Nummer %1").arg(i));
    if (!file.savefile()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.langfilename));
        return 1;
    }

    for (int r = 0; r < rounds; ++r) {
        auto start = std::chrono::steady_clock::now();
        {
            vek::langmessdefn apply(&form, base, kScreen, kCode, false);
            if (!apply.doscreenparse(&form)) {
                std::fprintf(stderr, "apply failed: %s\n", qPrintable(apply.errorstr));
                return 1;
            }
        }
        const double oursMs = bench::msSince(start);
        start = std::chrono::steady_clock::now();
        QStringList loaded;
        vek::loadlist(loaded, file.langfilename);
        const double peerMs = bench::msSince(start);
        if (loaded.size() != kRecords) {
            std::fprintf(stderr, "loadlist read %lld lines\n", static_cast<long long>(loaded.size()));
            return 1;
        }
        std::printf("langapply %.1f %.1f\n", oursMs, peerMs);
        std::fflush(stdout);
    }
    return 0;
}
