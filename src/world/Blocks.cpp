#include "world/Blocks.h"

#include "util/Errors.h"
#include "util/File.h"
#include "world/MapFile.h"
#include "world/StaticRuns.h"

#include <cstring>

namespace lw {

TMapBlock ReadMapBlock(const std::string& mapPath, const WorldSize& world, int blockX, int blockY) {
    TMapBlock block{};
    if (!world.holdsBlock(blockX, blockY))
        return block;
    MapFile map = MapFile::OpenRead(mapPath);
    map.read(world.mapBlockOffset(blockX, blockY), &block, sizeof block);
    map.close();
    return block;
}

void WriteMapBlock(const std::string& mapPath, const WorldSize& world, int blockX, int blockY,
                   const TMapBlock& block) {
    if (!world.holdsBlock(blockX, blockY))
        return;
    MapFile map = MapFile::OpenReadWrite(mapPath);
    map.write(world.mapBlockOffset(blockX, blockY), &block, sizeof block);
    map.close();
}

TMapBlock ReadMapBlock(const std::string& mapPath, int blockX, int blockY) {
    return ReadMapBlock(mapPath, kClassicWorld, blockX, blockY);
}

void WriteMapBlock(const std::string& mapPath, int blockX, int blockY, const TMapBlock& block) {
    WriteMapBlock(mapPath, kClassicWorld, blockX, blockY, block);
}

void ReadStaticBlock(const std::string& staticsPath, const StaticPointer& entry,
                     TStaticBlock& block) {
    std::memset(&block, 0, sizeof block);
    if (entry.Offset == kNoStatics)
        return;
    File file = File::OpenRead(staticsPath);
    file.seek(static_cast<std::uint32_t>(entry.Offset));
    const int count = StaticRecordCount(entry);
    file.readExact(block.Recs, entry.Length);
    block.Count = static_cast<std::uint16_t>(count);
    file.close();
}

void AppendStaticBlock(const std::string& staticsPath, StaticPointer& entry,
                       const TStaticBlock& block) {
    File file = File::OpenReadWrite(staticsPath);
    const std::uint64_t end = file.size();
    const std::uint64_t length = block.Count * kStaticRecSize;
    const StaticPointer placed = PlaceStaticRun(end, length, entry.Extra);
    file.seek(end);
    if (length > 0)
        file.write(block.Recs, length);
    file.close();
    entry = placed;
}

void MergeStaticBlocks(TStaticBlock& target, const TStaticBlock& source) {
    if (target.Count + source.Count > kMaxStaticsPerBlock)
        throw RangeError();
    std::memcpy(&target.Recs[target.Count], source.Recs, source.Count * kStaticRecSize);
    target.Count = static_cast<std::uint16_t>(target.Count + source.Count);
}

BlockCover ClassifyBlock(int left, int top, int right, int bottom, int blockX, int blockY) {
    const int blockLeft = blockX * kTilesPerBlockSide;
    const int blockTop = blockY * kTilesPerBlockSide;
    const int blockRight = blockLeft + kTilesPerBlockSide - 1;
    const int blockBottom = blockTop + kTilesPerBlockSide - 1;
    if (blockLeft >= left && blockTop >= top && blockRight <= right && blockBottom <= bottom)
        return BlockCover::Inside;
    if (blockBottom >= top && blockRight >= left && blockLeft <= right && blockTop <= bottom)
        return BlockCover::Partly;
    return BlockCover::Outside;
}

} // namespace lw
