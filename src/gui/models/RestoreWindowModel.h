// The restore window's rules: the restore points of the folders of the current world and item
// files as one list, newest first, each operation's point once with the folders it lies in.
#pragma once

#include "restore/Restore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lw {

struct RestoreChoice {
    struct Place {
        std::string folder; // as listed
        StoredPoint point;
    };
    std::uint64_t number = 0;
    std::vector<Place> places; // one, unless the operation wrote several of the folders

    // A damaged point is shown but cannot be put back.
    bool restorable() const { return places.front().point.entry.has_value(); }
    // What a restore of it is given.
    std::vector<std::string> folders() const;
    // "12  2026-12-10 14:03:11 UTC  melt  desktop program, main window", or "12  damaged: ...".
    std::string heading() const;
    // A line per file kept: "statics index  staidx0.mul  92160 bytes before, ...", with its
    // folder in front when the point lies in several.
    std::vector<std::string> fileLines() const;
    std::uint64_t bytes() const;
};

// "871 bytes", "12.0 KiB", "6.8 MiB".
std::string KeptSizeText(std::uint64_t bytes);

// The distinct folders of the paths, in their order; empty paths are skipped, and a folder
// reached by two paths counts once.
std::vector<std::string> FoldersOfPaths(const std::vector<std::string>& paths);

// One operation keeps the same number and identity in every folder it wrote; points of other
// operations that happen to share a number stay apart, and so does each damaged one. Newest
// first.
std::vector<RestoreChoice> RestoreChoicesOf(const std::vector<FolderPoints>& listed);

// The question before a restore.
std::string RestoreQuestion(const RestoreChoice& choice);

} // namespace lw
