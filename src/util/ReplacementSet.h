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

    // Syncs every new file first; then replaces the targets one by one, each by one atomic
    // rename, while a hard link keeps the old content until all are in place. When a step
    // fails, the targets already replaced get their old content back and the error is raised.
    void commit();

private:
    std::vector<ReplacementFile*> files_;
};

} // namespace lw
