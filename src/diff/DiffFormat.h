// The layout of an LW-Diff file (.lw2), byte for byte: a 1024-byte header, the changed static
// blocks, their index, the changed map blocks, their index. Version 2 describes the classic world
// of 6144 x 4096 tiles; version 3 is the same layout for a world of any other size, whose block
// columns and rows it keeps in the header's first two reserved words (positions 32 and 36), and
// whose index sections have one entry for each of its blocks.
#pragma once

#include "world/Records.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lw {

inline constexpr std::uint32_t kDiffVersion = 2;
inline constexpr std::uint32_t kDiffVersionOfOtherWorlds = 3;
// Marks an absent part in the header, and an unchanged block in both diff indexes.
inline constexpr std::uint32_t kDiffAbsent = 0xFFFFFFFF;

#pragma pack(push, 1)

struct DiffHeader {
    std::uint32_t Version;
    std::uint32_t StaticsIndexOffset;
    std::uint32_t OriginalIndexChecksum;
    std::uint32_t OriginalStaticsSize;
    std::uint32_t ModifiedIndexChecksum;
    std::uint32_t ModifiedStaticsSize;
    std::uint32_t MapIndexOffset;
    std::uint32_t ModifiedMapChecksum;
    std::uint8_t Reserved[992];
};

// One block's entry in the StaticsDiffIndex.
struct StaticsDiffEntry {
    std::uint32_t Offset;
    std::uint32_t Length;
};

#pragma pack(pop)

static_assert(sizeof(DiffHeader) == 1024);
static_assert(offsetof(DiffHeader, StaticsIndexOffset) == 4);
static_assert(offsetof(DiffHeader, OriginalIndexChecksum) == 8);
static_assert(offsetof(DiffHeader, OriginalStaticsSize) == 12);
static_assert(offsetof(DiffHeader, ModifiedIndexChecksum) == 16);
static_assert(offsetof(DiffHeader, ModifiedStaticsSize) == 20);
static_assert(offsetof(DiffHeader, MapIndexOffset) == 24);
static_assert(offsetof(DiffHeader, ModifiedMapChecksum) == 28);
static_assert(offsetof(DiffHeader, Reserved) == 32);
static_assert(sizeof(StaticsDiffEntry) == 8);

inline constexpr std::uint64_t kDiffHeaderSize = sizeof(DiffHeader);
// Version 3: the world's block columns and rows, 32-bit each, at these positions of the header.
inline constexpr std::size_t kDiffBlockColumnsAt = 32;
inline constexpr std::size_t kDiffBlockRowsAt = 36;
static_assert(offsetof(DiffHeader, Reserved) == kDiffBlockColumnsAt);

inline constexpr std::uint64_t StaticsDiffIndexSize(const WorldSize& world) {
    return static_cast<std::uint64_t>(world.blockCount()) * sizeof(StaticsDiffEntry);
}
inline constexpr std::uint64_t MapDiffIndexSize(const WorldSize& world) {
    return static_cast<std::uint64_t>(world.blockCount()) * sizeof(std::uint32_t);
}
inline constexpr std::uint64_t kStaticsDiffIndexSize = StaticsDiffIndexSize(kClassicWorld);
inline constexpr std::uint64_t kMapDiffIndexSize = MapDiffIndexSize(kClassicWorld);
static_assert(kStaticsDiffIndexSize == 3'145'728);
static_assert(kMapDiffIndexSize == 1'572'864);

// The diff passes work a block column at a time.
inline constexpr std::uint64_t kMapColumnSize = kClassicWorld.mapColumnLength();

inline constexpr StaticsDiffEntry kStaticsUnchanged{kDiffAbsent, kDiffAbsent};
inline constexpr StaticsDiffEntry kStaticsEmptied{kDiffAbsent, 0};

inline bool IsUnchanged(const StaticsDiffEntry& entry) {
    return entry.Offset == kDiffAbsent && entry.Length == kDiffAbsent;
}
inline bool IsEmptied(const StaticsDiffEntry& entry) {
    return entry.Offset == kDiffAbsent && entry.Length == 0;
}

// The header a generation starts with: both parts absent until they are written. The classic
// world's is version 2 with the reserved bytes all zero; any other world's is version 3.
DiffHeader FreshDiffHeader(const WorldSize& world = kClassicWorld);

// The block columns and rows a version 3 header gives (not checked), the classic world for any
// other version.
WorldSize DiffHeaderWorld(const DiffHeader& header);

// Entry n for block n, as in the file; every entry starts as unchanged.
using StaticsDiffIndex = std::vector<StaticsDiffEntry>;
using MapDiffIndex = std::vector<std::uint32_t>;

inline StaticsDiffIndex UnchangedStaticsDiffIndex(const WorldSize& world = kClassicWorld) {
    return StaticsDiffIndex(static_cast<std::size_t>(world.blockCount()), kStaticsUnchanged);
}
inline MapDiffIndex UnchangedMapDiffIndex(const WorldSize& world = kClassicWorld) {
    return MapDiffIndex(static_cast<std::size_t>(world.blockCount()), kDiffAbsent);
}

} // namespace lw
