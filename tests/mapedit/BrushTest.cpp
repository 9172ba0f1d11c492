#include "mapedit/Brush.h"

#include "fillclear/NamedTiles.h"
#include "mapedit/CellPrinters.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

Brush Made(DrawingMode mode, std::int32_t tile, AltitudeMode altitude, int z) {
    Brush brush;
    brush.Mode = mode;
    brush.Tile = tile;
    brush.Altitude = altitude;
    brush.Z = z;
    return brush;
}

TEST(Brush, TileAndAltitudeByMode) {
    using enum DrawingMode;
    using enum AltitudeMode;
    const struct {
        Brush brush;
        TMapCell cell, painted;
    } cases[] = {
        {Made(SelectedTile, 0x16F, AddZ, 100), {3, 50}, {0x16F, 127}},
        {Made(SelectedTile, 0x16F, SubtractZ, 100), {3, -50}, {0x16F, -128}},
        {Made(SelectedTile, 65535, SubtractZ, -7), {3, 10}, {65535, 17}},
        // The first paint levels the cell: "Set to Z" with Z = 0 is what the window starts with.
        {Made(SelectedTile, 0, SetToZ, 0), {3, 44}, {0, 0}},
        {Made(AltitudeOnly, 0x16F, SetToZ, -20), {0x1234, 5}, {0x1234, -20}},
        {Made(AltitudeOnly, 0, AddZ, 5), {0x1234, -128}, {0x1234, -123}},
        // Z beyond the field's range counts as its end, before it is added.
        {Made(AltitudeOnly, 0, AddZ, 300), {7, -128}, {7, -1}},
        {Made(AltitudeOnly, 0, SubtractZ, -300), {7, -100}, {7, 28}},
        {Made(AltitudeOnly, 0, SetToZ, -1000), {7, 0}, {7, -128}},
        {Made(DontDraw, 9, SetToZ, 50), {7, 3}, {7, 3}},
    };
    for (const auto& c : cases) {
        std::uint32_t seed = 77;
        const TMapCell painted = c.brush.paintedCell(c.cell, seed);
        EXPECT_EQ(+painted.Tile, +c.painted.Tile) << c.brush.Z;
        EXPECT_EQ(painted.Altitude, c.painted.Altitude) << c.brush.Z;
        EXPECT_EQ(seed, 77u) << "only a group draws from the generator";
    }
}

TEST(Brush, GroupsDrawOnePickPerCellAndBadTilesDrawNone) {
    Brush brush = Made(DrawingMode::Group, 0, AltitudeMode::AddZ, 2);
    brush.chooseListEntry(kFirstGroupListIndex + 6); // "Random grass"
    std::uint32_t seed = 0;
    std::vector<int> tiles;
    for (int i = 0; i < 8; ++i) {
        const TMapCell painted = brush.paintedCell({0x1234, 1}, seed);
        EXPECT_EQ(painted.Altitude, 3);
        tiles.push_back(painted.Tile);
    }
    EXPECT_EQ(tiles, (std::vector<int>{3, 3, 6, 3, 4, 5, 4, 3}));
    EXPECT_EQ(seed, 694906232u);

    for (const std::int32_t tile : {-1, 65536}) {
        seed = 5;
        EXPECT_THROW(Made(DrawingMode::SelectedTile, tile, AltitudeMode::SetToZ, 0)
                         .paintedCell({1, 1}, seed),
                     RangeError);
        EXPECT_EQ(seed, 5u);
    }
    brush.Group = static_cast<int>(NamedTiles.size());
    EXPECT_THROW(brush.paintedCell({1, 1}, seed), RangeError);
}

TEST(Brush, ListEntriesGiveModesAndGroups) {
    const struct {
        int index;
        DrawingMode mode;
        int group;
    } cases[] = {{0, DrawingMode::DontDraw, 0},
                 {1, DrawingMode::SelectedTile, 0},
                 {2, DrawingMode::AltitudeOnly, 0},
                 {3, DrawingMode::Group, 0},
                 {16, DrawingMode::Group, 13}};
    for (const auto& c : cases) {
        Brush brush;
        brush.chooseListEntry(c.index);
        EXPECT_EQ(brush.Mode, c.mode) << c.index;
        EXPECT_EQ(brush.Group, c.group) << c.index;
    }
}

TEST(Brush, SquaresAreCutToTheMapInPaintingOrder) {
    using Cells = std::vector<CellPos>;
    const WorldSize small{2, 2}; // 16 x 16 tiles
    const struct {
        int size, x, y;
        WorldSize map;
        Cells cells;
    } cases[] = {
        {1, 100, 200, {}, {{100, 200}}},
        {0, 100, 200, {}, {{100, 200}}},
        {3,
         10,
         20,
         {},
         {{9, 19}, {10, 19}, {11, 19}, {9, 20}, {10, 20}, {11, 20}, {9, 21}, {10, 21}, {11, 21}}},
        {2, 10, 20, {}, {{10, 20}, {11, 20}, {10, 21}, {11, 21}}},
        {3, 0, 0, {}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {3, 6143, 4095, {}, {{6142, 4094}, {6143, 4094}, {6142, 4095}, {6143, 4095}}},
        {4, 15, 14, small, {{14, 13}, {15, 13}, {14, 14}, {15, 14}, {14, 15}, {15, 15}}},
    };
    for (const auto& c : cases) {
        Brush brush;
        brush.Size = c.size;
        EXPECT_EQ(brush.cellsAround(c.x, c.y, c.map), c.cells) << c.size << " at " << c.x;
    }
    Brush largest;
    largest.Size = 12;
    EXPECT_EQ(largest.cellsAround(100, 100).size(), 81u);
    EXPECT_EQ(largest.cellsAround(100, 100).front(), (CellPos{96, 96}));
}

} // namespace
} // namespace lw
