// The static index table: one StaticPointer per block, in file order, and its transfer
// to and from staidx0.mul.
#pragma once

#include "util/Progress.h"
#include "util/SafeReplace.h"
#include "world/Records.h"

#include <memory>
#include <string>
#include <vector>

namespace lw {

class StaticIndexTable {
public:
    StaticIndexTable() : entries_(kBlockCount, StaticPointer{0, 0, 0}) {}

    StaticPointer& operator[](int blockNumber) { return entries_[blockNumber]; }
    const StaticPointer& operator[](int blockNumber) const { return entries_[blockNumber]; }
    StaticPointer& at(int blockX, int blockY) { return entries_[BlockNumber(blockX, blockY)]; }
    const StaticPointer& at(int blockX, int blockY) const {
        return entries_[BlockNumber(blockX, blockY)];
    }

    StaticPointer* data() { return entries_.data(); }
    const StaticPointer* data() const { return entries_.data(); }
    bool operator==(const StaticIndexTable&) const;

private:
    std::vector<StaticPointer> entries_;
};

// Reads the first 4,718,592 bytes of the index file; progress per block column.
void ReadStaticIndex(const std::string& path, StaticIndexTable& table, Progress& progress);

// Replaces the index file with the table, keeping any bytes the old file holds beyond the
// table (the index of a wider map); progress 90-99 per block column, never 100.
void WriteStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress);

// WriteStaticIndex up to the final rename: the new index is written and synced beside the old
// one, so that an operation replacing several files can put it in place at the right moment.
std::unique_ptr<ReplacementFile>
StageStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress);

} // namespace lw
