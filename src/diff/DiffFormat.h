// The layout of a Version 2 LW-Diff file (.lw2), byte for byte: a 1024-byte header, the changed
// static blocks, their index, the changed map blocks, their index.
#pragma once

#include "world/Records.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lw {

inline constexpr std::uint32_t kDiffVersion = 2;
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
inline constexpr std::uint64_t kStaticsDiffIndexSize = kBlockCount * sizeof(StaticsDiffEntry);
inline constexpr std::uint64_t kMapDiffIndexSize = kBlockCount * sizeof(std::uint32_t);
static_assert(kStaticsDiffIndexSize == 3'145'728);
static_assert(kMapDiffIndexSize == 1'572'864);

// The diff passes work a block column at a time.
inline constexpr std::uint64_t kMapColumnSize = kBlockRows * kMapBlockSize;

inline constexpr StaticsDiffEntry kStaticsUnchanged{kDiffAbsent, kDiffAbsent};
inline constexpr StaticsDiffEntry kStaticsEmptied{kDiffAbsent, 0};

inline bool IsUnchanged(const StaticsDiffEntry& entry) {
    return entry.Offset == kDiffAbsent && entry.Length == kDiffAbsent;
}
inline bool IsEmptied(const StaticsDiffEntry& entry) {
    return entry.Offset == kDiffAbsent && entry.Length == 0;
}

// The header a generation starts with: both parts absent until they are written.
inline DiffHeader FreshDiffHeader() {
    DiffHeader header{};
    header.Version = kDiffVersion;
    header.StaticsIndexOffset = kDiffAbsent;
    header.MapIndexOffset = kDiffAbsent;
    return header;
}

// Entry n for block n, as in the file; every entry starts as unchanged.
using StaticsDiffIndex = std::vector<StaticsDiffEntry>;
using MapDiffIndex = std::vector<std::uint32_t>;

inline StaticsDiffIndex UnchangedStaticsDiffIndex() {
    return StaticsDiffIndex(kBlockCount, kStaticsUnchanged);
}
inline MapDiffIndex UnchangedMapDiffIndex() {
    return MapDiffIndex(kBlockCount, kDiffAbsent);
}

} // namespace lw
