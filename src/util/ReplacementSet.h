// Puts the new content of several files in place together and in order: a world's statics,
// index and map must never end up half old, half new, and an item that moves between files must
// never be in neither.
#pragma once

#include "util/SafeReplace.h"

#include <vector>

namespace lw {

class ReplacementSet {
public:
    // Files are replaced in the order they are added; a null file is skipped.
    void add(ReplacementFile* file) {
        if (file)
            files_.push_back(file);
    }

    // Syncs every new file first. A lone target replaced by a rename needs nothing more. Else
    // the old content of each target is kept under a second name (or, for a file with hard
    // links, as a copy), a journal naming all of them is written and synced, the targets are
    // replaced one by one, and the journal goes after the last. When a step fails, the targets
    // already replaced get their old content back, last to first, and the error is raised; when
    // that undo fails too, it stops there and raises UndoFailedError, leaving the journal for the
    // next run (see RecoverJournal).
    void commit();

private:
    std::vector<ReplacementFile*> files_;
};

} // namespace lw
