#include "world/Blocks.h"

#include "util/Errors.h"
#include "util/File.h"

#include <cstring>
#include <limits>

namespace lw {

TMapBlock ReadMapBlock(const std::string& mapPath, int blockX, int blockY) {
    TMapBlock block{};
    if (!IsBlockInWorld(blockX, blockY))
        return block;
    File file = File::OpenRead(mapPath);
    file.seek(MapBlockOffset(blockX, blockY));
    file.readExact(&block, sizeof block);
    file.close();
    return block;
}

void WriteMapBlock(const std::string& mapPath, int blockX, int blockY, const TMapBlock& block) {
    if (!IsBlockInWorld(blockX, blockY))
        return;
    File file = File::OpenReadWrite(mapPath);
    file.seek(MapBlockOffset(blockX, blockY));
    file.write(&block, sizeof block);
    file.close();
}

int StaticRecordCount(const StaticPointer& entry) {
    if (entry.Length % kStaticRecSize != 0)
        throw Error("StaticPointer.Length is not a multiple of SizeOf(TStaticRec)");
    if (entry.Length > kMaxStaticBlockBytes)
        throw Error("Static block too large: " + std::to_string(entry.Length / kStaticRecSize) +
                    " records (a block holds at most 2048)");
    return static_cast<int>(entry.Length / kStaticRecSize);
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
    if (end + length > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error("statics0.mul would grow beyond 2,147,483,647 bytes; nothing was written");
    file.seek(end);
    if (length > 0)
        file.write(block.Recs, length);
    file.close();
    entry.Offset = static_cast<std::int32_t>(end);
    entry.Length = static_cast<std::uint32_t>(length);
}

void MergeStaticBlocks(TStaticBlock& target, const TStaticBlock& source) {
    if (target.Count + source.Count > kMaxStaticsPerBlock)
        throw RangeError();
    std::memcpy(&target.Recs[target.Count], source.Recs, source.Count * kStaticRecSize);
    target.Count = static_cast<std::uint16_t>(target.Count + source.Count);
}

int ClassifyBlock(int left, int top, int right, int bottom, int blockX, int blockY) {
    const int blockLeft = blockX * kTilesPerBlockSide;
    const int blockTop = blockY * kTilesPerBlockSide;
    const int blockRight = blockLeft + kTilesPerBlockSide - 1;
    const int blockBottom = blockTop + kTilesPerBlockSide - 1;
    if (blockLeft >= left && blockTop >= top && blockRight <= right && blockBottom <= bottom)
        return BlockInside;
    if (blockBottom >= top && blockRight >= left && blockLeft <= right && blockTop <= bottom)
        return BlockPartly;
    return BlockOutside;
}

} // namespace lw
