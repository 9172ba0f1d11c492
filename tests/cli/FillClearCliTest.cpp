// fill-clear end to end: the window's defaults, the seed, the excluded passes, and texts that
// fail before anything is written.
#include "fillclear/NamedTiles.h"
#include "support/FolderSnapshot.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "world/Blocks.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

class FillClearCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(staidx, statics);
        test::MakeSparseMap(map);
        test::PutStaticBlock(staidx, statics, 1, 2, {{1, 2, 4, 0, 0}, {2, 3, 4, 0, 0}});
    }
    test::ProgramResult fillClear(std::vector<std::string> extra) {
        std::vector<std::string> args{"fill-clear", "--staidx", staidx, "--statics",
                                      statics,      "--map",    map};
        args.insert(args.end(), extra.begin(), extra.end());
        return test::RunProgram(LW_CLI_PATH, args);
    }

    test::TempDir dir;
    std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul"),
                map = dir.file("map0.mul");
};

TEST_F(FillClearCliTest, OneTileWithASeededGroupPick) {
    const auto r = fillClear({"--left", "10", "--right", "$A", "--top", "20", "--bottom", "20",
                              "--tile", "random GRASS", "--altitude=-5", "--seed", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const auto kept = test::ReadBlockRecords(staidx, statics, 1, 2);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(+kept[0].ID, 2);
    std::uint32_t seed = 1;
    const TMapCell cell = ReadMapBlock(map, 1, 2).Cells[CellIndex(10, 20)];
    EXPECT_EQ(+cell.Tile, PickNamedTile(seed, 6));
    EXPECT_EQ(cell.Altitude, -5);
    EXPECT_EQ(+ReadMapBlock(map, 1, 2).Cells[CellIndex(11, 20)].Tile, 0);
}

TEST_F(FillClearCliTest, SeedsAreReadLikeTheWindowFields) {
    const struct {
        const char* text;
        std::uint32_t seed;
    } cases[] = {
        {"$7FFFFFFF", 0x7FFFFFFF}, {"0x10", 16}, {"-1", 0xFFFFFFFF}, {"$FFFFFFFF", 0xFFFFFFFF}};
    for (const auto& c : cases) {
        const auto r = fillClear({"--left", "10", "--right", "10", "--top", "20", "--bottom", "20",
                                  "--no-statics", "--tile", "Random grass", "--seed", c.text});
        EXPECT_EQ(r.exitCode, 0) << c.text << ": " << r.err;
        std::uint32_t seed = c.seed;
        EXPECT_EQ(+ReadMapBlock(map, 1, 2).Cells[CellIndex(10, 20)].Tile, PickNamedTile(seed, 6))
            << c.text;
    }
    const auto r = fillClear({"--tile", "0003", "--seed", "4294967296"});
    EXPECT_EQ(r.exitCode, 1);
}

TEST_F(FillClearCliTest, DefaultsClearTheWholeWorldAndNoMapLeavesTheTerrain) {
    const auto mapBefore = test::ReadWholeFile(map);
    const auto r = fillClear({"--no-map"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadIndexFile(staidx).at(1, 2).Offset, kNoStatics);
    EXPECT_EQ(test::ReadIndexFile(staidx).at(767, 511).Length, 0xFFFFFFFFu);
    EXPECT_TRUE(test::ReadWholeFile(map) == mapBefore);

    const auto filled = fillClear({"--no-statics", "--tile", "00 A8", "--altitude", "$7F"});
    EXPECT_EQ(filled.exitCode, 0) << filled.err;
    const TMapCell last = ReadMapBlock(map, 767, 511).Cells[63];
    EXPECT_EQ(+last.Tile, 0xA8);
    EXPECT_EQ(last.Altitude, 127);
}

TEST_F(FillClearCliTest, BadTextsFailBeforeAnythingIsWritten) {
    const auto before = test::Snapshot(dir.path());
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--tile", "3"}, "Input not SpacedHex"},
        {{}, "Input not SpacedHex"},
        {{"--tile", "0003", "--altitude", "128"}, "Fehler bei Bereichsprüfung"},
        {{"--tile", "0003", "--bottom", "4096.0"}, "'4096.0' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        const auto r = fillClear(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.lastErrLine(), c.message);
        test::ExpectSameFiles(test::Snapshot(dir.path()), before);
    }
    EXPECT_EQ(fillClear({"--no-map", "--no-statics"}).exitCode, 2);
}

} // namespace
} // namespace lw
