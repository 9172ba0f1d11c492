// Puts the new content of several files in place together: a world's statics0.mul, staidx0.mul
// and map0.mul must never end up half old, half new.
#pragma once

#include "util/SafeReplace.h"

#include <vector>

namespace lw {

class ReplacementSet {
public:
    void add(ReplacementFile& file) { files_.push_back(&file); }

    // Syncs every new file first; then replaces the targets one by one, keeping each old file
    // aside until all are in place. When a step fails, the targets already replaced get their
    // old content back and the error is raised.
    void commit();

private:
    std::vector<ReplacementFile*> files_;
};

} // namespace lw
