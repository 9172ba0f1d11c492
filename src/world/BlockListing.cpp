#include "world/BlockListing.h"

#include "util/SpacedHex.h"
#include "world/Blocks.h"

#include <memory>

namespace lw {

std::string StaticListLine(int number, int blockX, int blockY, const TStaticRec& rec) {
    return "Item #" + std::to_string(number) + ": Item ID = " + IntToSpacedHex(rec.ID, 2) +
           ", X = " + std::to_string(blockX * kTilesPerBlockSide + rec.X) +
           ", Y = " + std::to_string(blockY * kTilesPerBlockSide + rec.Y) +
           ", Z = " + std::to_string(rec.Z) + ", Color = " + IntToSpacedHex(rec.Color, 2);
}

void ListStaticBlocks(const std::string& staticsPath, const StaticIndexTable& index,
                      const BlockRange& range, const std::function<void(const std::string&)>& add) {
    auto block = std::make_unique<TStaticBlock>();
    int number = 0;
    ForEachBlock(index.world(), range, [&](int blockX, int blockY) {
        ReadStaticBlock(staticsPath, index.at(blockX, blockY), *block);
        for (int i = 0; i < block->Count; ++i)
            add(StaticListLine(++number, blockX, blockY, block->Recs[i]));
    });
}

} // namespace lw
