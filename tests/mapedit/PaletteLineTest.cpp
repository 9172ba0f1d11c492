#include "mapedit/PaletteLine.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

std::int32_t Tile(std::string_view line, int row, int column) {
    const PaletteLine parsed = ParsePaletteLine(line);
    return SelectionCellTile(parsed, row, column, parsed.columnCount());
}

TEST(PaletteLineTest, BuiltInLinesGiveTheirGroups) {
    const struct {
        const char* name;
        int rows, columns;
    } expected[] = {{"Acker auf Rasen #1", 3, 6},
                    {"Weg auf Rasen #1", 4, 8},
                    {"Weg auf Rasen #1", 2, 2},
                    {"Weg auf Rasen", 28, 1}};
    for (std::size_t i = 0; i < kBuiltInPaletteLines.size(); ++i) {
        const PaletteLine line = ParsePaletteLine(kBuiltInPaletteLines[i]);
        EXPECT_EQ(line.Name, expected[i].name);
        EXPECT_EQ(line.rowCount(), expected[i].rows);
        EXPECT_EQ(line.columnCount(), expected[i].columns);
    }
    EXPECT_EQ(Tile(kBuiltInPaletteLines[0], 1, 2), 0x0A);
    EXPECT_EQ(Tile(kBuiltInPaletteLines[2], 0, 1), 0x16E);
    EXPECT_EQ(Tile(kBuiltInPaletteLines[2], 1, 0), 0x16D);
    EXPECT_EQ(Tile(kBuiltInPaletteLines[3], 23, 0), 0x37E);
    EXPECT_EQ(Tile(kBuiltInPaletteLines[3], 24, 0), kNoTile);
    EXPECT_EQ(Tile(kBuiltInPaletteLines[3], 27, 0), kNoTile);
}

TEST(PaletteLineTest, IdTokens) {
    const struct {
        const char* token;
        std::int32_t id;
    } cases[] = {
        {"0x12345", 0x2345}, {"0x3", 3},     {"0xffff", 0xFFFF}, {"0x0001F", 0x1F},
        {"0X1F", 31},        {"$1F", 31},    {"x1f", 31},        {"17", 17},
        {"-5", -5},          {"0xZZ", -1},   {"0x", -1},         {"0x12G4", -1},
        {"abc", -1},         {"0x1\t2", -1}, {"70000", 70000},   {"99999999999", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tile(std::string("T - 1 1 ") + c.token, 0, 0), c.id) << c.token;
}

TEST(PaletteLineTest, CountsAndSeparators) {
    const struct {
        const char* line;
        const char* name;
        int rows, columns;
        std::int32_t firstTile;
    } cases[] = {
        {"Test - 0 5 1 2", "Test", 1, 5, 1},
        {"Test -   -3 $2   7  8 ", "Test", 1, 2, 7},
        {"Sand-Weg - 2 2 5 6 7 8", "Sand", 1, 1, 2},
        {"  Just a name  ", "Just a name", 1, 1, -1},
        {"", "", 1, 1, -1},
        {"Tabs - 2\t2 3 4", "Tabs", 1, 3, 4}, // "2\t2" is one token, and no integer
        {"Huge - 100000 100000 9", "Huge", 256, 256, 9},
        {"Wide - 1 2147483647 9", "Wide", 1, 256, 9},
    };
    for (const auto& c : cases) {
        const PaletteLine line = ParsePaletteLine(c.line);
        EXPECT_EQ(line.Name, c.name) << c.line;
        EXPECT_EQ(line.rowCount(), c.rows) << c.line;
        EXPECT_EQ(line.columnCount(), c.columns) << c.line;
        EXPECT_EQ(SelectionCellTile(line, 0, 0, line.columnCount()), c.firstTile) << c.line;
    }
}

TEST(PaletteLineTest, CellsOutsideTheGridHaveNoTile) {
    const PaletteLine line = ParsePaletteLine("G - 2 2 1 2 3 4 5");
    EXPECT_EQ(SelectionCellTile(line, 1, 1, 2), 4);
    EXPECT_EQ(SelectionCellTile(line, 1, 2, 2), kNoTile);
    EXPECT_EQ(SelectionCellTile(line, -1, 0, 2), kNoTile);
    EXPECT_EQ(SelectionCellTile(line, 0, -1, 2), kNoTile);
    EXPECT_EQ(SelectionCellTile(line, 2147483647, 2147483646, 2147483647), kNoTile);
}

} // namespace
} // namespace lw
