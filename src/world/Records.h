// The on-disk records of map0.mul, staidx0.mul and statics0.mul, and the classic world's figures
// for code that works on that world alone (the version 2 diff, its tests). Everything that
// depends on a world's size is WorldSize's.
#pragma once

#include "world/WorldSize.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "world files are little-endian");

namespace lw {

inline constexpr int kBlockColumns = kClassicWorld.BlockColumns; // block X 0-767
inline constexpr int kBlockRows = kClassicWorld.BlockRows;       // block Y 0-511
inline constexpr int kBlockCount = kClassicWorld.blockCount();
inline constexpr int kWorldWidth = kClassicWorld.width();   // tiles 0-6143
inline constexpr int kWorldHeight = kClassicWorld.height(); // tiles 0-4095
inline constexpr int kMaxStaticsPerBlock = 2048;

#pragma pack(push, 1)

struct TMapCell {
    std::uint16_t Tile;
    std::int8_t Altitude;
};

struct TMapBlock {
    std::uint32_t Header;
    TMapCell Cells[kCellsPerBlock];
};

struct StaticPointer {
    std::int32_t Offset; // -1: the block has no statics
    std::uint32_t Length;
    std::uint32_t Extra;
};

struct TStaticRec {
    std::uint16_t ID;
    std::uint8_t X;
    std::uint8_t Y;
    std::int8_t Z;
    std::uint16_t Color;
};

// One block's static records: Recs[0 .. Count-1] are valid.
struct TStaticBlock {
    std::uint16_t Count;
    TStaticRec Recs[kMaxStaticsPerBlock];
};

#pragma pack(pop)

static_assert(sizeof(TMapCell) == 3);
static_assert(sizeof(TMapBlock) == 196);
static_assert(sizeof(StaticPointer) == 12);
static_assert(sizeof(TStaticRec) == 7);
static_assert(sizeof(TStaticBlock) == 14338);

static_assert(sizeof(TMapBlock) == kMapBlockSize);
static_assert(sizeof(TMapCell) == kMapCellSize && offsetof(TMapBlock, Cells) == kMapCellsStart);
static_assert(sizeof(StaticPointer) == kIndexEntrySize);

inline constexpr std::uint64_t kStaticRecSize = sizeof(TStaticRec);
inline constexpr std::uint64_t kMapFileSize = kClassicWorld.mapLength();     // 77,070,336
inline constexpr std::uint64_t kIndexFileSize = kClassicWorld.indexLength(); // 4,718,592
inline constexpr std::uint64_t kIndexColumnSize = kClassicWorld.indexColumnLength();
// The index is read and written this many block columns at a time: large pieces, few calls.
inline constexpr int kIndexColumnsPerPiece = 64;
inline constexpr std::uint64_t kMaxStaticBlockBytes = kMaxStaticsPerBlock * kStaticRecSize;
inline constexpr std::int32_t kNoStatics = -1;

inline constexpr bool IsBlockInWorld(long long blockX, long long blockY) {
    return kClassicWorld.holdsBlock(blockX, blockY);
}

inline constexpr int BlockNumber(int blockX, int blockY) {
    return kClassicWorld.blockNumber(blockX, blockY);
}

inline constexpr std::uint64_t MapBlockOffset(int blockX, int blockY) {
    return kClassicWorld.mapBlockOffset(blockX, blockY);
}

inline constexpr std::uint64_t IndexEntryOffset(int blockX, int blockY) {
    return kClassicWorld.indexEntryOffset(blockX, blockY);
}

// Byte position in the classic map0.mul of the cell of tile (tileX, tileY).
inline constexpr std::uint64_t MapCellOffset(int tileX, int tileY) {
    return kClassicWorld.mapCellOffset(tileX, tileY);
}

inline bool IsEmptyBlock(const StaticPointer& entry) {
    return entry.Offset == kNoStatics || entry.Length == 0;
}

} // namespace lw
