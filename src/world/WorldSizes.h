// The sizes the facets' worlds come in, and how the length of a map or statics index tells them
// apart. Facets 0 and 1 are 6144 x 4096 (the classic client's) or 7168 x 4096 (later clients');
// facets 2 to 5 have one size each.
#pragma once

#include "world/WorldSize.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lw {

// Facets 0 to 5: the worlds a client ships.
inline constexpr int kFacetCount = 6;

// The sizes of facet 0-5, the classic one first where it is one of them.
std::span<const WorldSize> FacetSizes(int facet);

// A size of any facet with these block columns and rows.
std::optional<WorldSize> KnownWorldSize(int blockColumns, int blockRows);

// The size whose map (index) is exactly `length` bytes long: one of the facet's when it has one,
// else the first of any facet's (a misnamed file's length still tells; facets 3 and 5 have files
// of one length, so without a facet that is facet 3's). Nothing when no size fits. For looking at
// files; operations take WorldOfMapLength and WorldOfIndexLength.
std::optional<WorldSize> WorldSizeOfMapBytes(std::optional<int> facet, std::uint64_t length);
std::optional<WorldSize> WorldSizeOfIndexBytes(std::optional<int> facet, std::uint64_t length);

// "block (1, 2)" for block number 514 of the classic world.
std::string BlockName(const WorldSize& world, int blockNumber);

// The world of a map of `length` bytes of that facet. A length that fits another size of facets
// 0 and 1 is the classic world, under today's rules (a longer map keeps its tail, a shorter one
// ends at its end); for facets 2 to 5 it is refused, naming the file.
WorldSize WorldOfMapLength(int facet, std::uint64_t length, const std::string& path);

// The same for a statics index, where the map is not at hand (listing, melt, freeze): the index
// length decides between the sizes of its facet.
WorldSize WorldOfIndexLength(int facet, std::uint64_t length, const std::string& path);

// The world WorldOfIndexLength gives, or nothing where it refuses the length.
std::optional<WorldSize> IndexLengthWorld(int facet, std::uint64_t length);

// Refuses a statics index whose length is not that of the world its map gives: 12 bytes a block.
// The classic world keeps its rules (a longer index keeps its tail).
void RequireIndexOfWorld(const WorldSize& world, std::uint64_t indexLength,
                         const std::string& path);

} // namespace lw
