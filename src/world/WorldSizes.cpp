#include "world/WorldSizes.h"

#include "util/Errors.h"

#include <array>
#include <vector>

namespace lw {
namespace {

constexpr WorldSize kWideWorld{896, 512}; // 7168 x 4096

constexpr std::array<WorldSize, 2> kFirstFacets{kClassicWorld, kWideWorld};
constexpr std::array<WorldSize, 4> kOtherFacets{
    WorldSize{288, 200}, // 2304 x 1600
    WorldSize{320, 256}, // 2560 x 2048
    WorldSize{181, 181}, // 1448 x 1448
    WorldSize{160, 512}, // 1280 x 4096
};

// "6,421,156"
std::string Grouped(std::uint64_t value) {
    // Built front to back: GCC 12 at -O3 takes an insert into the string for an overlapping copy.
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            grouped += ',';
        grouped += digits[at];
    }
    return grouped;
}

template <typename Length>
std::optional<WorldSize> FacetWorldOfLength(int facet, std::uint64_t length, Length lengthOf) {
    const std::span<const WorldSize> sizes = FacetSizes(facet);
    for (const WorldSize& size : sizes)
        if (lengthOf(size) == length)
            return size;
    if (sizes.front() == kClassicWorld)
        return kClassicWorld;
    return std::nullopt;
}

template <typename Length>
WorldSize WorldOfLength(int facet, std::uint64_t length, const std::string& path, const char* what,
                        Length lengthOf) {
    if (const auto world = FacetWorldOfLength(facet, length, lengthOf))
        return *world;
    const std::span<const WorldSize> sizes = FacetSizes(facet);
    std::string needed;
    for (const WorldSize& size : sizes)
        needed +=
            (needed.empty() ? "" : " or ") + Grouped(lengthOf(size)) + " bytes for " + size.text();
    throw Error("The " + std::string(what) + " " + path + " holds " + Grouped(length) +
                " bytes, which fits no world of facet " + std::to_string(facet) + " (" + needed +
                "). Nothing was changed.");
}

template <typename Length>
std::optional<WorldSize> SizeOfBytes(std::optional<int> facet, std::uint64_t length,
                                     Length lengthOf) {
    if (facet)
        for (const WorldSize& size : FacetSizes(*facet))
            if (lengthOf(size) == length)
                return size;
    for (int other = 0; other < kFacetCount; ++other)
        for (const WorldSize& size : FacetSizes(other))
            if (lengthOf(size) == length)
                return size;
    return std::nullopt;
}

} // namespace

std::span<const WorldSize> FacetSizes(int facet) {
    if (facet >= 2 && facet < 2 + static_cast<int>(kOtherFacets.size()))
        return {&kOtherFacets[static_cast<std::size_t>(facet - 2)], 1};
    return kFirstFacets;
}

std::optional<WorldSize> KnownWorldSize(int blockColumns, int blockRows) {
    const WorldSize wanted{blockColumns, blockRows};
    for (int facet = 0; facet < kFacetCount; ++facet)
        for (const WorldSize& size : FacetSizes(facet))
            if (size == wanted)
                return size;
    return std::nullopt;
}

std::optional<WorldSize> WorldSizeOfMapBytes(std::optional<int> facet, std::uint64_t length) {
    return SizeOfBytes(facet, length, [](const WorldSize& size) { return size.mapLength(); });
}

std::optional<WorldSize> WorldSizeOfIndexBytes(std::optional<int> facet, std::uint64_t length) {
    return SizeOfBytes(facet, length, [](const WorldSize& size) { return size.indexLength(); });
}

std::string BlockName(const WorldSize& world, int blockNumber) {
    return "block (" + std::to_string(world.blockXOf(blockNumber)) + ", " +
           std::to_string(world.blockYOf(blockNumber)) + ")";
}

WorldSize WorldOfMapLength(int facet, std::uint64_t length, const std::string& path) {
    return WorldOfLength(facet, length, path, "map file",
                         [](const WorldSize& size) { return size.mapLength(); });
}

WorldSize WorldOfIndexLength(int facet, std::uint64_t length, const std::string& path) {
    return WorldOfLength(facet, length, path, "statics index",
                         [](const WorldSize& size) { return size.indexLength(); });
}

std::optional<WorldSize> IndexLengthWorld(int facet, std::uint64_t length) {
    return FacetWorldOfLength(facet, length,
                              [](const WorldSize& size) { return size.indexLength(); });
}

void RequireIndexOfWorld(const WorldSize& world, std::uint64_t indexLength,
                         const std::string& path) {
    if (world == kClassicWorld || indexLength == world.indexLength())
        return;
    throw Error("The statics index " + path + " holds " + Grouped(indexLength) +
                " bytes, but the " + world.text() + " world of its map needs " +
                Grouped(world.indexLength()) + " (12 bytes for each of its " +
                Grouped(static_cast<std::uint64_t>(world.blockCount())) +
                " blocks). Nothing was changed.");
}

} // namespace lw
