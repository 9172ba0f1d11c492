// Compaction of a world's statics: statics0.mul rewritten with every block's run in block order
// and no dead space, and staidx0.mul to match, both replaced together or neither.
#pragma once

#include "util/LogSink.h"
#include "util/Progress.h"
#include "world/ProgramState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lw {

struct CompactionReport {
    std::string StaticsPath;
    bool Changed = false; // false: compact already, and neither file was touched
    std::uint64_t OldStaticsSize = 0;
    std::uint64_t NewStaticsSize = 0;
    long long RunsWritten = 0;
    // The index written, as the program loads it (the entries of the world its length gives);
    // null when nothing was written or the program would not load it.
    std::unique_ptr<StaticIndexTable> WrittenIndex;

    // Negative only when blocks shared parts of runs, which each block now holds alone.
    std::int64_t reclaimed() const {
        return static_cast<std::int64_t>(OldStaticsSize) -
               static_cast<std::int64_t>(NewStaticsSize);
    }
};

// Every whole entry of the index file is a block, whatever the world's size; in entry order each
// block with records gets its run copied byte for byte (odd records and lengths included) right
// behind the one before, and its entry points there with its Extra word kept. Blocks that share
// one run keep sharing it; an empty entry with offset -1 stays as it is, one with length 0 points
// where the next run starts; a partial entry at the end of the index stays as it is. Refuses,
// before writing anything, an entry that points outside statics0.mul and an index shorter than
// any world's of its facet (the name's, else any). Files that are compact already are left
// untouched. Progress 0-89 for the runs, 90-99 for the index, then 100; what the check of its
// files repairs first goes to log.
CompactionReport CompactStatics(const std::string& staidxPath, const std::string& staticsPath,
                                Progress& progress, const LogSink& log = DiscardLog);

// After a compaction: when staidxPath is the file the program-wide index was loaded from, that
// index takes the table written, so that a later operation does not write the old one back.
// Returns whether it did.
bool TakeCompactedIndex(ProgramState& state, const std::string& staidxPath,
                        CompactionReport& report);

// "statics0.mul: 1200 bytes before, 1000 after, 12 runs in block order", "Bytes reclaimed: 200".
std::vector<std::string> CompactionLines(const CompactionReport& report);

} // namespace lw
