#pragma once
// The record a placement writes before its first rename: which files stood in
// the chain (by identity, not by name), and which work file is to take the
// program's name. A run killed part way through the renames leaves it; the
// next run that takes the folder's lock reads it and puts the chain back
// exactly as it was before, or, when the new file already stands, finishes
// the placement. Either way the chain is exactly the old one or the new one.
#include "lib/generations.h"
#include "platform/fileapi.h"

#include <QString>
#include <array>

namespace vek {

// The journal of a placement of `current`: hidden, beside it, of fixed length.
QString placementjournalname(const QString& current);

struct PlacementJournal {
    // The program file and the work file, by their names in the folder.
    QString current;
    QString work;
    platform::FileId workId;
    // [0] the current file, [n] generation n; empty where none stood.
    std::array<platform::FileId, kGenerationCount + 1> chain;
};

// Writes the journal beside `journal.current` and flushes it and its folder
// to the disk. 0 or the failing step's code; nothing is left on failure.
[[nodiscard]] int writeplacementjournal(const PlacementJournal& journal);

// Finishes or undoes the placement whose journal is `journalPath`, then
// removes the journal. A journal cut short by a crash was written before any
// rename, so there is nothing to undo. 0, or the code of a step that failed
// (the journal then stays for the next run).
[[nodiscard]] int recoverplacement(const QString& journalPath);

// Finishes or undoes every interrupted placement in `folder`, then removes
// what killed runs left there: work files of installs, downloads and saves
// that no live process holds, and dropped generations waiting under their
// hidden name. For a run that holds the folder's lock. The code of the first
// journal that could not be dealt with, else 0.
[[nodiscard]] int recoverfolder(const QString& folder);

}  // namespace vek
