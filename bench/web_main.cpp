// The transfer component's hot paths, for the side-by-side comparison:
//   bench_web get URL FILE LOCALFOLDER=DIR   downloads URL into FILE (its log goes under DIR)
//   bench_web hash FILE                      prints the MD5 digest of FILE
#include "bench/common.h"
#include "web/vekpost.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 4 && std::strcmp(argv[1], "get") == 0) {
        vek::TVekPost post;
        post.SetTimeout(60000);
        if (!post.GetFile(bench::arg(argv, 2), bench::arg(argv, 3))) {
            std::fprintf(stderr, "%s\n", qPrintable(post.ReportError()));
            return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hash") == 0) {
        const QByteArray digest = vek::TVekPost::HashFile(bench::arg(argv, 2)).toLatin1();
        std::printf("%s\n", digest.constData());
        return digest.size() == 32 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: bench_web get URL FILE LOCALFOLDER=DIR | bench_web hash FILE\n");
    return 2;
}
