// The world sizes the game's clients ship, facet by facet, and how the length and name of a world
// file tell which of them it belongs to. The world check measures files against this list.
#pragma once

#include "world/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

struct KnownWorldSize {
    int Width = 0; // tiles
    int Height = 0;

    int blockColumns() const { return Width / kTilesPerBlockSide; }
    int blockRows() const { return Height / kTilesPerBlockSide; }
    int blockCount() const { return blockColumns() * blockRows(); }
    std::uint64_t indexBytes() const { return blockCount() * kIndexEntrySize; }
    std::uint64_t mapBytes() const { return blockCount() * kMapBlockSize; }
    // "6144 x 4096"
    std::string name() const;
    // "block (1, 2)" for block number 514 of the classic world: blocks are numbered column by
    // column, block Y fastest.
    std::string blockName(int blockNumber) const;
    bool operator==(const KnownWorldSize&) const = default;
};

inline constexpr KnownWorldSize kClassicWorld{kWorldWidth, kWorldHeight};

struct FacetWorldSize {
    int Facet;
    KnownWorldSize Size;
};

// Each facet's sizes, its most used first: facets 0 and 1 come in the classic size and in the
// wider one of later clients.
inline constexpr FacetWorldSize kKnownWorldSizes[] = {
    {0, kClassicWorld}, {0, {7168, 4096}}, {1, kClassicWorld}, {1, {7168, 4096}},
    {2, {2304, 1600}},  {3, {2560, 2048}}, {4, {1448, 1448}},  {5, {1280, 4096}},
};

// The facet a world file's name gives: N of staidxN.mul, staticsN.mul, mapN.mul or
// mapNLegacyMUL.uop, in any letter case; nothing for another name.
std::optional<int> FacetOfWorldFile(std::string_view path);

// The size whose index (map) file is this long. Facets 3 and 5 have files of one length, so the
// facet of the file's name decides where it gives one; else the first size of the list.
std::optional<KnownWorldSize> WorldSizeOfIndex(std::uint64_t bytes, std::optional<int> facet);
std::optional<KnownWorldSize> WorldSizeOfMap(std::uint64_t bytes, std::optional<int> facet);

} // namespace lw
