#pragma once
// Program folders before an install of Stock.exe with its backup generations,
// and what a complete install makes of them: for the tests that fail every
// step of an install in turn and compare the folder afterwards.
#include "lib/generations.h"
#include "testsupport.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace testsupport {

using Folder = QMap<QString, QByteArray>;

// The folder's files by name; hidden ones too unless `withHidden` is false
// (an install whose last clean-up failed leaves the dropped generation under
// a hidden name, which the next install removes).
inline Folder snapshot(const QString& folder, bool withHidden = true)
{
    Folder out;
    for (const QString& name : entries(folder)) {
        if (withHidden || !name.startsWith(u'.'))
            out.insert(name, readFile(folder + name));
    }
    return out;
}

inline QString stockgeneration(int n)
{
    return vek::generationname(QStringLiteral("Stock.exe"), n);
}

struct Scenario {
    const char* what;
    Folder before;
    Folder after;
};

// A folder with Other.dll, Stock.exe holding `current` (none when empty) and
// the given generations; after the install of `installed` the chain is
// shifted by one, .X10 dropped.
inline Scenario generationscenario(const char* what, const QByteArray& current, const QList<int>& generations,
                                   const QByteArray& installed)
{
    Scenario s{what, {}, {}};
    s.before.insert(QStringLiteral("Other.dll"), "untouched");
    if (!current.isEmpty())
        s.before.insert(QStringLiteral("Stock.exe"), current);
    for (const int n : generations)
        s.before.insert(stockgeneration(n), "generation " + QByteArray::number(n));
    s.after.insert(QStringLiteral("Other.dll"), "untouched");
    s.after.insert(QStringLiteral("Stock.exe"), installed);
    if (!current.isEmpty())
        s.after.insert(stockgeneration(1), current);
    for (const int n : generations) {
        if (n < 10)
            s.after.insert(stockgeneration(n + 1), "generation " + QByteArray::number(n));
    }
    return s;
}

}  // namespace testsupport
