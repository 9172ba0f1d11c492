// One line of the tile palette's configuration: "name - rows columns id id ...", a group of tiles
// laid out as the grid they form on the map.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

// More rows or columns than this are not drawn as a palette anyway.
inline constexpr int kMaxPaletteSide = 256;

inline constexpr std::int32_t kNoTile = -1;

struct PaletteLine {
    std::string Name;
    // The blank-separated texts after the first "-": the two counts, then the ids row by row.
    std::vector<std::string> Tokens;

    int rowCount() const;
    int columnCount() const;
};

PaletteLine ParsePaletteLine(std::string_view line);

// The tile id of the cell in row and column of a grid columnCount wide, or kNoTile when the line
// has no readable id there. An id token "0x..." counts by its last four digits; any other token is
// read by the standard integer conversion.
std::int32_t SelectionCellTile(const PaletteLine& line, int row, int column, int columnCount);

// The lines the palette starts with.
inline constexpr std::array<const char*, 4> kBuiltInPaletteLines{
    "Acker auf Rasen #1 - 3 6 0x11 0x0d 0x12 0xe 0xb 0x15 0xc 0x9 0xa 0xa 0x3 0xc 0xf 0xb 0x10 "
    "0x14 0xd 0x13",
    "Weg auf Rasen #1 - 4 8 0x7d 0x8b 0x8c 0x82 0x79 0x85 0x86 0x7b 0x89 0x75 0x75 0x87 0x87 0x3 "
    "0x3 0x89 0x8a 0x75 0x75 0x88 0x88 0x3 0x3 0x8a 0x83 0x85 0x86 0x7e 0x7c 0x8b 0x8c 0x7a",
    "Weg auf Rasen #1 - 2 2 0x16f 0x16e 0x16d 0x170",
    "Weg auf Rasen - 28 1 0x367 0x368 0x369 0x36a 0x36b 0x36c 0x36d 0x36e 0x36f 0x370 0x371 0x372 "
    "0x373 0x374 0x375 0x376 0x377 0x378 0x379 0x37a 0x37b 0x37c 0x37d 0x37e",
};

} // namespace lw
