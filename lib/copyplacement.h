#pragma once
// Putting a copy of a file in place of a program file, the program's chain of
// backup generations shifting by one: the installer's install and restore and
// the updater's install all go this one way. All or nothing.
#include "lib/generations.h"
#include "platform/fileapi.h"

#include <QString>

#include <functional>
#include <utility>

namespace vek {

// The step of a placement that failed.
enum class PlacementStep {
    // The source could not be read, or changed while it was copied.
    ReadSource,
    // The copy could not be written into the program's folder.
    WriteFolder,
    // The new file could not be put over the program file.
    Replace,
    // A backup generation could not be moved down the chain.
    MoveBackup,
    // The current file could not be kept as its first generation (.X01).
    KeepCurrent,
    // The program's name leaves no room for the endings of its generations.
    NameTooLong,
    // The folder's lock could not be had (another run held it too long, or
    // its lock file could not be made).
    LockFolder,
    // The finished copy was refused by the placement's check (its signature),
    // or is not the file it was to be (a download whose size or digest is
    // not the one its index gives).
    Check,
};

struct PlacementFailure {
    PlacementStep step = PlacementStep::WriteFolder;
    // The file or folder whose step failed.
    QString path;
    // What the undo of a failed placement could not put back.
    UndoLeftovers leftovers;
    // Why the step failed in words, where the code's own words do not say
    // it: the check's refusal (PlacementStep::Check), a download's failure.
    QString reason;
};

// Looks at the finished work file of a placement, holding the folder's lock,
// after the copy and before anything of the chain is moved: 0 to place it,
// else the code of the refusal with its words in `reason`. What it looks at
// is the file that would be placed, never the source it was copied from.
using WorkFileCheck = std::function<int(const QString& work, QString& reason)>;

// A check that also takes the copy's bytes as they are written (a digest made
// on the copy's second thread), so that it need not read the work file again.
// `check` stands on its own too: a placement that does not feed `sink` (a
// download's fill, a copy that fails its stamp) gets a check that reads the
// work file. For one copy: its sink keeps what that copy handed it.
struct StreamedCheck {
    StreamedCheck() = default;
    // A check that takes nothing from the copy.
    StreamedCheck(WorkFileCheck plain) : check(std::move(plain)) {}  // implicit: every check is one
    StreamedCheck(platform::ChunkSink chunks, WorkFileCheck finished)
        : sink(std::move(chunks)), check(std::move(finished))
    {
    }

    // Given to the copy (platform::copyToWorkFile); empty: the copy is the
    // kernel's alone, without a thread.
    platform::ChunkSink sink;
    WorkFileCheck check;
};

// Fills the work file `work` of a placement with the new version, complete
// and flushed to the disk: 0, or the failing step's code with `failure`'s
// step, path and reason set.
using WorkFill = std::function<int(const QString& work, PlacementFailure& failure)>;

// The work file a placement copies into before the copy is put in place:
// hidden, beside `current`, of bounded length whatever the name, and the same
// for every placement of that file, so that the next one removes a work file
// left by a killed run.
QString placementworkname(const QString& current);

// Runs `check` (when given) on the finished work file `work`, as every
// placement does before it puts the file in place: 0 or the refusal's code
// with its words in `reason`.
[[nodiscard]] int checkworkfile(const QString& work, const WorkFileCheck& check, QString& reason);

// The longest program name, in bytes, whose generations (the name + ".X10")
// the file system of `folder` can hold.
qint64 longestprogramname(const QString& folder);

// Copies `source` to the work file of `current` (placementworkname), flushes
// it, and places it as `current` with placewithgenerations, holding the
// folder's FolderLock throughout; no placement runs without it. With the lock
// taken, interrupted placements in the folder are finished or undone and the
// work files of killed runs removed (recoverfolder). A program whose name is
// longer than longestprogramname is refused before anything is done
// (winerr::FilenameTooLong), the first install as every later one. Returns 0 when the new file stands with the
// chain shifted; otherwise the failing step's code, the folder exactly as it
// was (or, when an undo failed too, as `failure->leftovers` says), no work
// file left, and `failure` (when given) filled. `progress` is called between
// the chunks of the copy. `check.check`, when given, is asked about the
// finished copy before it is placed; a refusal places nothing
// (PlacementStep::Check). The copy hands its chunks to `check.sink` as it
// writes them, when there is one.
[[nodiscard]] int copywithgenerations(const QString& source, const QString& current,
                                      const platform::CopyProgress& progress = {}, PlacementFailure* failure = nullptr,
                                      const StreamedCheck& check = {});

// The same for a new version that `fill` writes into `work` (a hidden name of
// ours beside `current`), all under the folder's lock: the name's length is
// checked, the lock taken, the folder recovered, `work` filled, checked by
// `check` (when given) and placed with its generations. A fill that fails
// leaves what it leaves (a download cut short may keep its work file); every
// later failure removes the work file.
[[nodiscard]] int fillwithgenerations(const QString& current, const QString& work, const WorkFill& fill,
                                      PlacementFailure* failure = nullptr, const WorkFileCheck& check = {});

}  // namespace vek
