// The size of one facet's world in blocks, and every block number, file position and file length
// that follows from it: the one place where block columns, block rows and record sizes meet.
#pragma once

#include <cstdint>
#include <string>

namespace lw {

inline constexpr int kTilesPerBlockSide = 8;
inline constexpr int kCellsPerBlock = kTilesPerBlockSide * kTilesPerBlockSide;
// The records a world's files are made of (Records.h checks them against the structs).
inline constexpr std::uint64_t kMapBlockSize = 196; // a 4-byte header, then 64 cells of 3 bytes
inline constexpr std::uint64_t kMapCellSize = 3;
inline constexpr std::uint64_t kMapCellsStart = 4;
inline constexpr std::uint64_t kIndexEntrySize = 12;

// Index of the cell of tile (tileX, tileY) inside its block.
inline constexpr int CellIndex(int tileX, int tileY) {
    return (tileY % kTilesPerBlockSide) * kTilesPerBlockSide + tileX % kTilesPerBlockSide;
}

// Blocks are numbered column by column in every file of every facet: block X times the block
// rows plus block Y.
struct WorldSize {
    int BlockColumns = 768;
    int BlockRows = 512;

    constexpr int width() const { return BlockColumns * kTilesPerBlockSide; }
    constexpr int height() const { return BlockRows * kTilesPerBlockSide; }
    constexpr int blockCount() const { return BlockColumns * BlockRows; }

    constexpr bool holdsBlock(long long blockX, long long blockY) const {
        return blockX >= 0 && blockX < BlockColumns && blockY >= 0 && blockY < BlockRows;
    }
    constexpr bool holdsTile(long long tileX, long long tileY) const {
        return tileX >= 0 && tileX < width() && tileY >= 0 && tileY < height();
    }
    constexpr int blockNumber(int blockX, int blockY) const { return blockX * BlockRows + blockY; }
    constexpr int blockXOf(int blockNumber) const { return blockNumber / BlockRows; }
    constexpr int blockYOf(int blockNumber) const { return blockNumber % BlockRows; }

    constexpr std::uint64_t mapLength() const { return mapBlockOffset(BlockColumns, 0); }
    constexpr std::uint64_t indexLength() const { return indexEntryOffset(BlockColumns, 0); }
    // The bytes of one block column, which follow each other in the file.
    constexpr std::uint64_t mapColumnLength() const { return mapBlockOffset(1, 0); }
    constexpr std::uint64_t indexColumnLength() const { return indexEntryOffset(1, 0); }

    constexpr std::uint64_t mapBlockOffset(int blockX, int blockY) const {
        return static_cast<std::uint64_t>(blockNumber(blockX, blockY)) * kMapBlockSize;
    }
    constexpr std::uint64_t indexEntryOffset(int blockX, int blockY) const {
        return static_cast<std::uint64_t>(blockNumber(blockX, blockY)) * kIndexEntrySize;
    }
    // Byte position in the map of the cell of tile (tileX, tileY).
    constexpr std::uint64_t mapCellOffset(int tileX, int tileY) const {
        return mapBlockOffset(tileX / kTilesPerBlockSide, tileY / kTilesPerBlockSide) +
               kMapCellsStart + static_cast<std::uint64_t>(CellIndex(tileX, tileY)) * kMapCellSize;
    }

    constexpr bool operator==(const WorldSize&) const = default;

    // "7168 x 4096"
    std::string text() const { return std::to_string(width()) + " x " + std::to_string(height()); }
};

// The world of the classic client, 6144 x 4096 tiles: the one the version 2 diff describes, and
// the one a facet 0 or 1 file of any other length is taken for, with today's rules for it.
inline constexpr WorldSize kClassicWorld{768, 512};

} // namespace lw
