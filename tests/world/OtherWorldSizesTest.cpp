// Listing, melt, freeze and fill/clear on worlds of other sizes than the classic one: the wider
// world of later clients (7168 x 4096) and the smallest facet (1448 x 1448). Each operation ends
// where that world ends, with the range errors of today.
#include "fillclear/FillClear.h"
#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "world/BlockListing.h"
#include "world/Blocks.h"
#include "world/MapConversion.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

using test::ReadWholeFile;

constexpr WorldSize kWide{896, 512};
constexpr WorldSize kSmall{181, 181};

std::string Item(int number, int x, int y) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) +
           "\r\nZ 5\r\nCONT -1\r\nTYPE 255\r\n}"
           "\r\n";
}

class OtherWorldSizesTest : public ::testing::Test {
protected:
    void make(const WorldSize& world, int facet) {
        const std::string n = std::to_string(facet);
        staidx = dir.file("staidx" + n + ".mul");
        statics = dir.file("statics" + n + ".mul");
        map = dir.file("map" + n + ".mul");
        test::MakeEmptyStatics(staidx, statics, world);
        test::MakeSparseMap(map, world);
    }
    std::vector<std::string> list(const std::array<std::string, 4>& fields) {
        auto state = std::make_unique<ProgramState>();
        NullProgress quiet;
        LoadStaticIndex(*state, staidx, quiet);
        std::vector<std::string> lines;
        ListStaticBlocks(statics, state->StaticIndex, ParseBlockRange(fields),
                         [&](const std::string& line) { lines.push_back(line); });
        return lines;
    }
    std::string items() const { return dir.file("items.wsc"); }

    test::TempDir dir;
    std::string staidx, statics, map;
};

TEST_F(OtherWorldSizesTest, ListingMeltAndFreezeReachTheEastOfTheWiderWorld) {
    make(kWide, 0);
    test::PutStaticBlock(staidx, statics, 875, 125, {{0x0EED, 3, 7, -5, 0}, {0x0001, 0, 0, 1, 2}},
                         kWide);
    const std::array<std::string, 4> east{"7000", "7007", "1000", "1007"};
    const std::vector<std::string> before = list(east);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0], "Item #1: Item ID = 0E ED, X = 7003, Y = 1007, Z = -5, Color = 00 00");
    try {
        list({"7160", "7168", "0", "7"});
        ADD_FAILURE() << "no range error";
    } catch (const RangeError& e) {
        EXPECT_STREQ(e.what(), "Fehler bei Bereichsprüfung");
    }

    auto state = std::make_unique<ProgramState>();
    NullProgress quiet;
    LoadStaticIndex(*state, staidx, quiet);
    EXPECT_EQ(state->StaticIndex.world(), kWide);
    MeltBlocks(*state, {staidx, statics, items(), ItemFileStyle::Pol, ParseBlockRange(east)},
               DiscardLog, quiet);
    EXPECT_EQ(FileSizeOf(staidx), kWide.indexLength());
    EXPECT_TRUE(list(east).empty());
    EXPECT_NE(ReadWholeFile(items()).find("X 7003"), std::string::npos);

    FreezeRequest freeze;
    freeze.staidx = staidx;
    freeze.statics = statics;
    freeze.itemFile = items();
    FreezeItems(*state, freeze, {}, DiscardLog, quiet);
    EXPECT_EQ(list(east), before);
    EXPECT_TRUE(state->StaticIndex == test::ReadIndexFile(staidx, kWide));
}

TEST_F(OtherWorldSizesTest, TheSmallestFacetEndsAtTile1447) {
    make(kSmall, 4);
    EXPECT_EQ(FileSizeOf(staidx), 393'132u);
    test::PutStaticBlock(staidx, statics, 180, 180, {{0x0EED, 7, 7, 0, 0}}, kSmall);
    EXPECT_EQ(list({"1440", "1447", "1440", "1447"}).size(), 1u);
    EXPECT_THROW(list({"1440", "1448", "0", "7"}), RangeError);

    // A freeze takes items up to the last tile, and refuses one beyond it before any change.
    test::WriteWholeFile(items(), Item(1, 1447, 1447) + Item(2, 1448, 0));
    const std::string before = ReadWholeFile(staidx);
    auto state = std::make_unique<ProgramState>();
    NullProgress quiet;
    LoadStaticIndex(*state, staidx, quiet);
    FreezeRequest freeze;
    freeze.staidx = staidx;
    freeze.statics = statics;
    freeze.itemFile = items();
    try {
        FreezeItems(*state, freeze, {}, DiscardLog, quiet);
        ADD_FAILURE() << "not refused";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid item in patch file! (Item#: 2)");
    }
    EXPECT_TRUE(ReadWholeFile(staidx) == before);
    test::WriteWholeFile(items(), Item(1, 1447, 1447));
    FreezeItems(*state, freeze, {}, DiscardLog, quiet);
    EXPECT_EQ(list({"1440", "1447", "1440", "1447"}).size(), 2u);

    // A statics index of another length than the facet's is refused by name.
    test::WriteWholeFile(staidx, before + "x");
    EXPECT_THROW(list({"0", "7", "0", "7"}), Error);
}

TEST_F(OtherWorldSizesTest, FillClearOfTheEastLeavesTheClassicPartAlone) {
    make(kWide, 0);
    test::PutStaticBlock(staidx, statics, 767, 0, {{1, 7, 0, 0, 0}}, kWide);
    test::PutStaticBlock(staidx, statics, 768, 0, {{2, 0, 0, 0, 0}}, kWide);
    test::PutStaticBlock(staidx, statics, 895, 511, {{3, 7, 7, 0, 0}}, kWide);
    const std::string uopFolder = dir.file("uop");
    std::filesystem::create_directories(uopFolder);
    const std::string uop = uopFolder + "/map0LegacyMUL.uop";
    const test::UopFixture fixture = test::MakeUopMap(map, uop);
    const std::string outside = test::OutsideMapData(uop, fixture);

    FillClearRequest r;
    r.StaIdxPath = staidx;
    r.StaticsPath = statics;
    r.MapPath = map;
    r.Left = 6144; // the defaults' right and bottom: the whole of this world
    r.Right = kWide.width();
    r.Bottom = kWide.height();
    r.Tile = {-1, 0x0003};
    r.Altitude = 9;
    ProgramState state;
    NullProgress quiet;
    FillClear(state, r, quiet);
    EXPECT_EQ(test::ReadBlockRecords(staidx, statics, 767, 0, kWide).size(), 1u);
    EXPECT_TRUE(test::ReadBlockRecords(staidx, statics, 768, 0, kWide).empty());
    EXPECT_TRUE(test::ReadBlockRecords(staidx, statics, 895, 511, kWide).empty());
    EXPECT_EQ(+ReadMapBlock(map, kWide, 767, 511).Cells[63].Tile, 0);
    EXPECT_EQ(+ReadMapBlock(map, kWide, 768, 0).Cells[0].Tile, 3);
    EXPECT_EQ(ReadMapBlock(map, kWide, 895, 511).Cells[63].Altitude, 9);

    // The same fill of the container gives the same map, and changes nothing else there.
    r.MapPath = uop;
    r.ClearStatics = false;
    FillClear(state, r, quiet);
    const std::string converted = dir.file("converted/map0.mul");
    std::filesystem::create_directories(dir.file("converted"));
    ConvertMap(uop, converted, false);
    EXPECT_TRUE(ReadWholeFile(converted) == ReadWholeFile(map));
    EXPECT_TRUE(test::OutsideMapData(uop, fixture) == outside);
    for (std::size_t k = 0; k < fixture.pieceData.size(); ++k)
        EXPECT_EQ(test::RecordedHash(uop, fixture, k), test::AdlerOfPiece(uop, fixture, k)) << k;

    // An index that is not the map's world's is refused before anything changes.
    const std::string index = ReadWholeFile(staidx);
    test::WriteWholeFile(staidx, index.substr(0, kClassicWorld.indexLength()));
    r.MapPath = map;
    r.ClearStatics = true;
    const std::string mapBefore = ReadWholeFile(map);
    EXPECT_THROW(FillClear(state, r, quiet), Error);
    EXPECT_TRUE(ReadWholeFile(map) == mapBefore);
}

TEST_F(OtherWorldSizesTest, FilesOfTwoFacetsAreRefused) {
    make(kSmall, 4);
    const std::string otherMap = dir.file("map2.mul");
    test::MakeSparseMap(otherMap, {288, 200});
    FillClearRequest r;
    r.StaIdxPath = staidx;
    r.StaticsPath = statics;
    r.MapPath = otherMap;
    r.Tile = {-1, 1};
    ProgramState state;
    NullProgress quiet;
    EXPECT_THROW(FillClear(state, r, quiet), Error);
    EXPECT_THROW(MeltBlocks(state,
                            {dir.file("staidx2.mul"), statics, items(), ItemFileStyle::Pol,
                             ParseBlockRange({"0", "7", "0", "7"})},
                            DiscardLog, quiet),
                 Error);
}

} // namespace
} // namespace lw
