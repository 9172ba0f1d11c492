// Puts the new content of several files in place together and in order: a world's statics,
// index and map must never end up half old, half new, and an item that moves between files must
// never be in neither.
#pragma once

#include "util/KeptContent.h"
#include "util/SafeReplace.h"

#include <string>
#include <vector>

namespace lw {

class ReplacementSet {
public:
    // Files are replaced in the order they are added; a null file is skipped.
    void add(ReplacementFile* file) {
        if (file)
            targets_.push_back({file, {}});
    }
    // The file at this real path goes, in its turn among the files added.
    void remove(const std::string& path) { targets_.push_back({nullptr, path}); }
    // A file the operation appended to in place, beyond oldSize: a restore point cuts it back.
    void appended(const std::string& path, std::uint64_t oldSize) {
        appended_.push_back({path, oldSize});
    }

    // Syncs every new file first. A lone target replaced by a rename needs nothing more, while no
    // restore point is kept (KeeperScope). Else the targets change together under journals
    // (ReplacementJournal.h): when a step fails, the targets already replaced get their old
    // content back, last to first, and the error is raised; when that undo fails too, it stops
    // there and raises UndoFailedError, leaving the journals for the next run (Recovery.h).
    void commit();

private:
    struct Target {
        ReplacementFile* file; // null: a removal
        std::string removed;
    };
    std::vector<Target> targets_;
    std::vector<AppendedTarget> appended_;
};

} // namespace lw
