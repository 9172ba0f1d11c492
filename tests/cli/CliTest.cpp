#include "fillclear/NamedTiles.h"
#include "mapedit/PaletteLine.h"
#include "mapedit/TilePictures.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

using test::RunProgram;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(staidx, statics);
        test::PutStaticBlock(staidx, statics, 2, 5, {{0x0EED, 3, 7, -5, 0}});
    }
    test::ProgramResult cli(std::vector<std::string> args) { return RunProgram(LW_CLI_PATH, args); }

    test::TempDir dir;
    std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
};

TEST_F(CliTest, ListBlockPrintsTheListingLines) {
    const auto r =
        cli({"list-block", "--staidx", staidx, "--statics", statics, "$10", "23", "40", "47"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.outLines(), std::vector<std::string>{
                                "Item #1: Item ID = 0E ED, X = 19, Y = 47, Z = -5, Color = 00 00"});
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, FailuresEndWithTheMessageAndStatusOne) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"list-block", "--staidx", dir.file("none"), "--statics", statics, "0", "0", "0", "0"},
         "Datei nicht gefunden"},
        {{"list-block", "--staidx", staidx, "--statics", statics, "0", "1e", "0", "0"},
         "'1e' ist kein gültiger Integerwert"},
        {{"list-block", "--staidx", staidx, "--statics", statics, "0", "70000", "0", "0"},
         "Fehler bei Bereichsprüfung"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.lastErrLine(), c.message);
    }
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(cli({}).exitCode, 2);
    EXPECT_EQ(cli({"list-block", "--staidx", staidx, "0", "0", "0", "0"}).exitCode, 2);
    const auto typo = cli({"lst-block"});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_EQ(typo.lastErrLine(), "unknown command 'lst-block'; run loamwright-cli --help");
    const auto help = cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("list-block"), std::string::npos);
}

TEST_F(CliTest, DemoWorldIsFullSizeAndDeterministic) {
    const std::string a = dir.file("a"), b = dir.file("b");
    ASSERT_EQ(cli({"demo-world", a}).exitCode, 0);
    ASSERT_EQ(cli({"demo-world", b}).exitCode, 0);
    EXPECT_EQ(FileSizeOf(a + "/map0.mul"), kMapFileSize);
    EXPECT_EQ(FileSizeOf(a + "/staidx0.mul"), kIndexFileSize);
    for (const char* name :
         {"map0.mul", "staidx0.mul", "statics0.mul", "statics.cfg", "items.wsc", "AutoSelect.txt",
          "texidx.mul", "texmaps.mul", "artidx.mul", "art.mul"})
        EXPECT_TRUE(test::ReadWholeFile(a + "/" + name) == test::ReadWholeFile(b + "/" + name))
            << name;
    // Every block's statics are readable, and the towns have some.
    const auto listing = cli({"list-block", "--staidx", a + "/staidx0.mul", "--statics",
                              a + "/statics0.mul", "0", "6143", "0", "4095"});
    EXPECT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_GT(listing.outLines().size(), 10000u);
}

TEST_F(CliTest, DemoWorldRefusesAFolderHoldingItsFilesUnlessForced) {
    const std::string index = test::ReadWholeFile(staidx);
    const auto refused = cli({"demo-world", dir.path()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.lastErrLine(),
              "The folder " + dir.path() +
                  " already holds files the demo world would overwrite: " + staidx + ", " +
                  statics + ". Choose an empty folder, or add --force to " + "overwrite them.");
    EXPECT_EQ(test::ReadWholeFile(staidx), index);
    EXPECT_FALSE(FileExists(dir.file("map0.mul")));

    ASSERT_EQ(cli({"demo-world", "--force", dir.path()}).exitCode, 0);
    EXPECT_TRUE(FileExists(dir.file("map0.mul")));
    EXPECT_NE(test::ReadWholeFile(staidx), index);
}

TEST_F(CliTest, DemoWorldHasPicturesForEveryGroupAndPaletteTile) {
    const std::string demo = dir.file("demo");
    ASSERT_EQ(cli({"demo-world", demo}).exitCode, 0);
    const auto files = FindImageFiles(demo);
    ASSERT_TRUE(files);
    const auto pictureSide = [&](int id) {
        return MakeTileImage(*files, static_cast<std::uint16_t>(id)).Width;
    };
    for (const TNamedTile& group : NamedTiles)
        for (int k = 0; k < group.TileCount; ++k)
            EXPECT_EQ(pictureSide(group.BaseTile + k), 64) << group.Name << " " << k;
    int artOnly = 0;
    for (const char* text : kBuiltInPaletteLines) {
        const PaletteLine line = ParsePaletteLine(text);
        for (int i = 0; i < line.rowCount() * line.columnCount(); ++i) {
            const int id = SelectionCellTile(line, i / line.columnCount(), i % line.columnCount(),
                                             line.columnCount());
            if (id == kNoTile)
                continue;
            const int side = pictureSide(id);
            EXPECT_TRUE(side == 64 || side == 45) << text << " " << id;
            artOnly += side == 45;
        }
    }
    EXPECT_GT(artOnly, 0);
}

} // namespace
} // namespace lw
