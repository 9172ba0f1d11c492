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
    // the targets change together under journals (ReplacementJournal.h): when a step fails, the
    // targets already replaced get their old content back, last to first, and the error is
    // raised; when that undo fails too, it stops there and raises UndoFailedError, leaving the
    // journals for the next run (Recovery.h).
    void commit();

private:
    std::vector<ReplacementFile*> files_;
};

} // namespace lw
