// The lines of the block listing: one per static record of a block range.
#pragma once

#include "world/BlockRange.h"
#include "world/Records.h"
#include "world/StaticIndex.h"

#include <functional>
#include <string>

namespace lw {

// "Item #n: Item ID = 0E ED, X = 19, Y = 47, Z = -5, Color = 00 00"
std::string StaticListLine(int number, int blockX, int blockY, const TStaticRec& rec);

// Adds one line per record of the range, numbered from 1, in block order.
void ListStaticBlocks(const std::string& staticsPath, const StaticIndexTable& index,
                      const BlockRange& range, const std::function<void(const std::string&)>& add);

} // namespace lw
