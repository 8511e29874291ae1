#pragma once
// The chain of backup generations kept beside a program file: NAME.X01 is the
// most recent older version, NAME.X10 the oldest one held.
#include <QList>
#include <QString>

namespace vek {

inline constexpr int kGenerationCount = 10;

// current + ".X" + n in two digits (".X01" ... ".X10").
QString generationname(const QString& current, int n);

// A step of a failed placement that its undo could not take back: the file
// that was `was` stands as `standsAs` (a generation left one place down the
// chain, the oldest one under its hidden overflow name). With `was` empty,
// `standsAs` is a first generation the placement made and could not remove.
struct UndoLeftover {
    QString was;
    QString standsAs;
};
using UndoLeftovers = QList<UndoLeftover>;

// Puts the finished file `newFile` in place of `current`, shifting the current
// file and its generations down the chain by one; the oldest generation drops
// off. All or nothing: a failing step undoes the steps before it, so the folder
// holds exactly what it held before, and the code of that step is returned.
// `current` is never missing, not even for a moment: it is linked to its first
// generation name and the new file renamed over it; the oldest generation is
// deleted only once the new file stands. `failedPath`, when given, receives
// the file whose step failed. `leftovers`, when given, receives the undo
// steps that failed in turn, in the order they were tried; it stays empty when
// the folder holds what it held before. `keepingCurrent`, when given, tells
// whether the step that failed was giving the current file its first
// generation name (`failedPath` is then that name).
// Before the first rename the placement records what it is about to do
// (placementjournal.h), so that a run killed in the middle is finished or
// undone by the next one; a record left by such a run for `current` is dealt
// with first.
[[nodiscard]] int placewithgenerations(const QString& newFile, const QString& current, QString* failedPath = nullptr,
                                       UndoLeftovers* leftovers = nullptr, bool* keepingCurrent = nullptr);

// The leftovers in words, by file name: "a.X01 stays as a.X02, a.X01 remains".
QString describeleftovers(const UndoLeftovers& leftovers);

// Where the oldest generation waits while a placement is under way; a
// placement interrupted by a crash leaves it, and the next one removes it.
QString overflowname(const QString& current);

// A hidden name beside `path` for work on it: "." + a digest of the file name
// + `suffix`. Its length does not grow with the file name, so a name as long
// as the file system allows still has room for its work files; the same file
// always gets the same name, so a work file left by a crash is found again.
QString hiddenworkname(const QString& path, const QString& suffix);

}  // namespace vek
