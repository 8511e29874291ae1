// Installs one program file as the installer does: a copy into a work file
// beside the target, then the generation chain.
//   bench_install SERVER_FOLDER LOCAL_FOLDER NAME
#include "bench/common.h"
#include "installer/installprogram.h"

#include <cstdio>

using namespace installer;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_install SERVER_FOLDER LOCAL_FOLDER NAME\n");
        return 2;
    }
    const InstallOutcome outcome = installprogram(bench::arg(argv, 1), bench::arg(argv, 2), bench::arg(argv, 3));
    if (!outcome.installed) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.message));
        return 1;
    }
    return 0;
}
