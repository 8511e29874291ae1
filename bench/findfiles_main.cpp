// Lists a folder as the installer's catalogue does and writes one line per
// file: name, size and date text, separated by tabs.
//   bench_findfiles DIR [PATTERNS]      PATTERNS defaults to "*.exe;*.ocx;*.dll"
#include "bench/common.h"
#include "lib/fileops.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: bench_findfiles DIR [PATTERNS]\n");
        return 2;
    }
    bench::useFamilyFormats();
    const QString patterns = argc > 2 ? bench::arg(argv, 2) : QStringLiteral("*.exe;*.ocx;*.dll");
    QStringList names, sizes, dates;
    const int rc = vek::findfiles(bench::arg(argv, 1), patterns, &names, &sizes, &dates);
    QString out;
    out.reserve(names.size() * 48);
    for (qsizetype i = 0; i < names.size(); ++i)
        out += names[i] + u'\t' + sizes[i] + u'\t' + dates[i] + u'\n';
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return rc < 0 ? 1 : 0;
}
