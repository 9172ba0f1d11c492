// Named tile groups: a name that stands for a run of consecutive terrain tile ids, from which
// painted and filled cells draw a random id. The generator state the picks advance is the
// program's one seed (ProgramState::RandomSeed), 0 at start, so fills repeat from run to run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

struct TNamedTile {
    const char* Name;
    std::uint16_t BaseTile;
    std::int32_t TileCount;
};

inline constexpr std::array<TNamedTile, 14> NamedTiles{{
    {"Random cave", 0x245, 5},
    {"Random cobblestones", 0x3E9, 4},
    {"Random desert", 0x16, 4},
    {"Random dirt (big stones)", 0x71, 4},
    {"Random dirt (small stones)", 0x75, 4},
    {"Random forest", 0xC4, 4},
    {"Random grass", 0x3, 4},
    {"Random jungle", 0xAC, 4},
    {"Random lava", 0x1F4, 4},
    {"Random marble-floor", 0x486, 4},
    {"Random mountain", 0x22C, 4},
    {"Random snow", 0x11A, 4},
    {"Random stars", 0x1FA, 6},
    {"Random water", 0xA8, 4},
}};

// Index 0-13 of the group whose name equals text (a-z case-insensitive, whole text), or -1.
int FindNamedTile(std::string_view text);

// The generator's next value in 0 .. n-1, every value equally likely; advances seed one step.
inline std::uint32_t RandomPick(std::uint32_t& seed, std::uint32_t n) {
    seed = seed * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * seed) >> 32);
}

// A random tile id of group index; a RangeError for an index outside 0-13.
std::uint16_t PickNamedTile(std::uint32_t& seed, int index);

// As PickNamedTile for the group of that name; "Invalid tile name: " + name otherwise.
std::uint16_t PickNamedTileByName(std::uint32_t& seed, std::string_view name);

} // namespace lw
