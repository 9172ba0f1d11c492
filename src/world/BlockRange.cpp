#include "world/BlockRange.h"

#include "util/Errors.h"
#include "util/IntConv.h"
#include "world/Records.h"

namespace lw {

BlockRange ParseBlockRange(const std::array<std::string, 4>& fieldTexts) {
    std::array<int, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = StrToIntInRange(fieldTexts[i], 0, 65535);
    BlockRange range;
    range.FirstX = values[0] / kTilesPerBlockSide;
    range.LastX = values[1] / kTilesPerBlockSide;
    range.FirstY = values[2] / kTilesPerBlockSide;
    range.LastY = values[3] / kTilesPerBlockSide;
    range.SnappedTexts = {IntToStr(range.FirstX * kTilesPerBlockSide),
                          IntToStr(range.LastX * kTilesPerBlockSide + 7),
                          IntToStr(range.FirstY * kTilesPerBlockSide),
                          IntToStr(range.LastY * kTilesPerBlockSide + 7)};
    return range;
}

void ForEachBlock(const WorldSize& world, const BlockRange& range,
                  const std::function<void(int, int)>& visit) {
    for (int blockX = range.FirstX; blockX <= range.LastX; ++blockX)
        for (int blockY = range.FirstY; blockY <= range.LastY; ++blockY) {
            if (!world.holdsBlock(blockX, blockY))
                throw RangeError();
            visit(blockX, blockY);
        }
}

void ForEachBlock(const BlockRange& range, const std::function<void(int, int)>& visit) {
    ForEachBlock(kClassicWorld, range, visit);
}

} // namespace lw
