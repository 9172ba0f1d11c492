// The static index table of one world: one StaticPointer per block, in file order, and its
// transfer to and from staidx0.mul.
#pragma once

#include "util/Progress.h"
#include "util/SafeReplace.h"
#include "world/Records.h"
#include "world/WorldSize.h"

#include <memory>
#include <string>
#include <vector>

namespace lw {

class StaticIndexTable {
public:
    // The classic world's table.
    StaticIndexTable() : StaticIndexTable(kClassicWorld) {}
    // All entries (0, 0, 0).
    explicit StaticIndexTable(const WorldSize& world)
        : world_(world),
          entries_(static_cast<std::size_t>(world.blockCount()), StaticPointer{0, 0, 0}) {}

    const WorldSize& world() const { return world_; }
    StaticPointer& operator[](int blockNumber) { return entries_[blockNumber]; }
    const StaticPointer& operator[](int blockNumber) const { return entries_[blockNumber]; }
    StaticPointer& at(int blockX, int blockY) {
        return entries_[world_.blockNumber(blockX, blockY)];
    }
    const StaticPointer& at(int blockX, int blockY) const {
        return entries_[world_.blockNumber(blockX, blockY)];
    }

    StaticPointer* data() { return entries_.data(); }
    const StaticPointer* data() const { return entries_.data(); }
    std::uint64_t byteSize() const { return world_.indexLength(); }
    bool operator==(const StaticIndexTable&) const;

private:
    WorldSize world_;
    std::vector<StaticPointer> entries_;
};

// Reads the first bytes of the index file that the table's world holds (4,718,592 for the
// classic world); progress per block column.
void ReadStaticIndex(const std::string& path, StaticIndexTable& table, Progress& progress);

// Replaces the index file with the table, keeping any bytes the old file holds beyond the
// table (the classic world's index of a wider map); progress 90-99 per block column, never 100.
void WriteStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress);

// The table's entries into out, column by column, with WriteStaticIndex's progress.
void WriteStaticIndexColumns(const StaticIndexTable& table, File& out, Progress& progress);

// WriteStaticIndex up to the final rename: the new index is written and synced beside the old
// one, so that an operation replacing several files can put it in place at the right moment.
std::unique_ptr<ReplacementFile>
StageStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress);

} // namespace lw
