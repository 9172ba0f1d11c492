// Blocks holding more statics than the most used game client reads: it takes the first 1,024 of
// a block and silently drops the rest, so whatever writes such a block warns.
#pragma once

#include "world/StaticIndex.h"

#include <optional>
#include <string>
#include <vector>

namespace lw {

inline constexpr int kClientStaticsPerBlock = 1024;

struct CrowdedBlock {
    int Block;   // block number
    int Statics; // records in it
};

// The blocks of a table that hold more than the client reads, every block of its world.
std::vector<CrowdedBlock> CrowdedBlocksOf(const StaticIndexTable& table);
// Those among the blocks whose entries differ between the two tables: the blocks written. A table
// of another world than before's is written whole.
std::vector<CrowdedBlock> CrowdedBlocksWritten(const StaticIndexTable& before,
                                               const StaticIndexTable& after);

// "Warning: 1 block holds more than 1024 statics, ...: (24, 57) with 1100.", or nothing; the
// blocks are named by their place in world.
std::optional<std::string> CrowdedBlocksWarning(const std::vector<CrowdedBlock>& blocks,
                                                const WorldSize& world);

} // namespace lw
