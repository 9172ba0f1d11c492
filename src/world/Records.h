// The on-disk records of map0.mul, staidx0.mul and statics0.mul, and the world's geometry.
// Every block number, offset and size is computed here and nowhere else.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "world files are little-endian");

namespace lw {

inline constexpr int kBlockColumns = 768; // block X 0-767
inline constexpr int kBlockRows = 512;    // block Y 0-511
inline constexpr int kBlockCount = kBlockColumns * kBlockRows;
inline constexpr int kTilesPerBlockSide = 8;
inline constexpr int kCellsPerBlock = 64;
inline constexpr int kWorldWidth = kBlockColumns * kTilesPerBlockSide; // tiles 0-6143
inline constexpr int kWorldHeight = kBlockRows * kTilesPerBlockSide;   // tiles 0-4095
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

inline constexpr std::uint64_t kMapBlockSize = sizeof(TMapBlock);
inline constexpr std::uint64_t kIndexEntrySize = sizeof(StaticPointer);
inline constexpr std::uint64_t kStaticRecSize = sizeof(TStaticRec);
inline constexpr std::uint64_t kMapFileSize = kBlockCount * kMapBlockSize;     // 77,070,336
inline constexpr std::uint64_t kIndexFileSize = kBlockCount * kIndexEntrySize; // 4,718,592
inline constexpr std::uint64_t kIndexColumnSize = kBlockRows * kIndexEntrySize;
// The index is read and written this many block columns at a time: large pieces, few calls.
inline constexpr int kIndexColumnsPerPiece = 64;
static_assert(kBlockColumns % kIndexColumnsPerPiece == 0);
inline constexpr std::uint64_t kMaxStaticBlockBytes = kMaxStaticsPerBlock * kStaticRecSize;
inline constexpr std::int32_t kNoStatics = -1;

inline constexpr bool IsBlockInWorld(long long blockX, long long blockY) {
    return blockX >= 0 && blockX < kBlockColumns && blockY >= 0 && blockY < kBlockRows;
}

inline constexpr int BlockNumber(int blockX, int blockY) {
    return blockX * kBlockRows + blockY;
}

inline constexpr std::uint64_t MapBlockOffset(int blockX, int blockY) {
    return static_cast<std::uint64_t>(BlockNumber(blockX, blockY)) * kMapBlockSize;
}

inline constexpr std::uint64_t IndexEntryOffset(int blockX, int blockY) {
    return static_cast<std::uint64_t>(BlockNumber(blockX, blockY)) * kIndexEntrySize;
}

// Index of the cell of in-block offset (x, y) inside a TMapBlock.
inline constexpr int CellIndex(int tileX, int tileY) {
    return (tileY % kTilesPerBlockSide) * kTilesPerBlockSide + tileX % kTilesPerBlockSide;
}

// Byte position in map0.mul of the cell of tile (tileX, tileY).
inline constexpr std::uint64_t MapCellOffset(int tileX, int tileY) {
    return MapBlockOffset(tileX / kTilesPerBlockSide, tileY / kTilesPerBlockSide) + 4 +
           static_cast<std::uint64_t>(CellIndex(tileX, tileY)) * sizeof(TMapCell);
}

inline bool IsEmptyBlock(const StaticPointer& entry) {
    return entry.Offset == kNoStatics || entry.Length == 0;
}

} // namespace lw
