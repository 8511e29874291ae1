#include "installer/windowhandover.h"

#include "installer/runbody.h"
#include "installer/windowbody.h"

#include <QByteArray>
#include <QFileInfo>

#include <cstdio>

#include <dlfcn.h>

namespace installer {
namespace {

// Where the part stands: beside the program (a build), else where the
// package puts it, named from the program's folder (set by the build).
QList<QByteArray> windowpartplaces()
{
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return {(folder + QStringLiteral("/" TESSARINE_WINDOW_PART)).toLocal8Bit(),
            (folder + QStringLiteral("/" TESSARINE_WINDOW_PART_INSTALLED)).toLocal8Bit()};
}

}  // namespace

int handovertowindow(int argc, char** argv)
{
    QByteArray tried;
    for (const QByteArray& place : windowpartplaces()) {
        void* part = ::dlopen(place.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!part) {
            tried += "\n  " + QByteArray(::dlerror());
            continue;
        }
        auto entry = reinterpret_cast<TessarineWindowMain>(::dlsym(part, TESSARINE_WINDOW_ENTRY));
        if (!entry) {
            tried += "\n  " + place + ": no " TESSARINE_WINDOW_ENTRY;
            continue;
        }
        // Left loaded: the window's objects live until the process ends.
        return entry(argc, argv);
    }
    std::fprintf(stderr, "TessarineInstaller: the window part of the program could not be loaded:%s\n",
                 tried.constData());
    return kNoDisplayStatus;
}

}  // namespace installer
