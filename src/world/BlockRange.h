// The block range of the four block fields (X1, X2, Y1, Y2 in tiles) shared by the block
// listing and melt.
#pragma once

#include "world/WorldSize.h"

#include <array>
#include <functional>
#include <string>

namespace lw {

struct BlockRange {
    int FirstX = 0, LastX = -1, FirstY = 0, LastY = -1;
    // The field texts to write back: X1, X2, Y1, Y2 snapped to whole blocks.
    std::array<std::string, 4> SnappedTexts;
};

// Reads X1, X2, Y1, Y2 in this order, each 0-65535; conversion and range errors as the fields.
BlockRange ParseBlockRange(const std::array<std::string, 4>& fieldTexts);

// Visits the blocks of the range, block X outer, block Y inner; a block outside the world
// that the walk reaches is a RangeError.
void ForEachBlock(const WorldSize& world, const BlockRange& range,
                  const std::function<void(int, int)>& visit);
// The same in the classic world.
void ForEachBlock(const BlockRange& range, const std::function<void(int, int)>& visit);

} // namespace lw
