// diff-info end to end: the diff of a filled and cleared demo world, looked at alone, beside the
// originals it was made from and beside others, as a picture, and damaged.
#include "cli/PngReading.h"
#include "diff/DiffPicture.h"
#include "mapedit/MapOverview.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/ContentDigest.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

using Args = std::vector<std::string>;

test::ProgramResult Cli(const Args& args) {
    return test::RunProgram(LW_CLI_PATH, args);
}

using test::ReadPng;

bool HasLine(const test::ProgramResult& r, const std::string& line) {
    const auto lines = r.outLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class DiffInfoCliTest : public ::testing::Test {
protected:
    // The demo world, and its copy with tiles (1000, 1000) to (3000, 2500) filled and cleared.
    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::TempDir>();
        const std::string original = dir_->file("original"), modified = dir_->file("modified");
        ASSERT_EQ(Cli({"demo-world", original}).exitCode, 0);
        ASSERT_EQ(Cli({"demo-world", modified}).exitCode, 0);
        ASSERT_EQ(
            Cli({"fill-clear", "--staidx", modified + "/staidx0.mul", "--statics",
                 modified + "/statics0.mul", "--map", modified + "/map0.mul", "--left", "1000",
                 "--right", "3000", "--top", "1000", "--bottom", "2500", "--tile", "00 03"})
                .exitCode,
            0);
        const auto generated =
            Cli({"diff-generate", "--original-staidx", original + "/staidx0.mul",
                 "--original-statics", original + "/statics0.mul", "--original-map",
                 original + "/map0.mul", "--staidx", modified + "/staidx0.mul", "--statics",
                 modified + "/statics0.mul", "--map", modified + "/map0.mul", "--out", diff()});
        ASSERT_EQ(generated.exitCode, 0) << generated.err;
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::string diff() { return dir_->file("world.lw2"); }
    static Args originals(const std::string& set) {
        const std::string folder = dir_->file(set);
        return {"--original-staidx",      folder + "/staidx0.mul", "--original-statics",
                folder + "/statics0.mul", "--original-map",        folder + "/map0.mul"};
    }
    static Args info(Args extra = {}) {
        Args args{"diff-info", "--diff", diff()};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    static std::unique_ptr<test::TempDir> dir_;
    test::TempDir out;
};
std::unique_ptr<test::TempDir> DiffInfoCliTest::dir_;

TEST_F(DiffInfoCliTest, WhatAVersionTwoDiffHoldsAndWhetherItFits) {
    const auto crc = Cli({"index-crc", "--staidx", dir_->file("original/staidx0.mul")});
    const auto alone = Cli(info());
    ASSERT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_EQ(alone.err, "");
    const std::string whole = test::ReadWholeFile(diff());
    const std::string sealedDigest = DigestText(DigestOf(whole.substr(0, whole.size() - 30)));
    for (const std::string& line :
         {std::string("version: 2"), std::string("parts: statics and map"),
          "original CRC value: " + crc.outLines().at(0),
          "trailer: XXH64 checksum " + sealedDigest + ", matches the diff",
          std::string("changes: blocks (125, 125) to (375, 312), tiles (1000, 1000) to (3007, "
                      "2503)")})
        EXPECT_TRUE(HasLine(alone, line)) << line << "\n" << alone.out;

    const auto beside = Cli(info(originals("original")));
    ASSERT_EQ(beside.exitCode, 0) << beside.err;
    EXPECT_TRUE(HasLine(beside, "fits the originals: yes"));
    const auto lines = beside.outLines();
    EXPECT_GT(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("block (", 0) == 0; }),
              10);

    // The modified files are not the originals the diff was made from.
    const auto other = Cli(info(originals("modified")));
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_TRUE(HasLine(other, "fits the originals: no"));
    EXPECT_EQ(other.lastErrLine().rfind("The CRC value of your orginal statics file (", 0), 0u)
        << other.err;

    EXPECT_EQ(Cli(info({"--original-staidx", dir_->file("original/staidx0.mul")})).exitCode, 2);
}

TEST_F(DiffInfoCliTest, APictureOfTheChangedBlocksOnTheOverview) {
    const std::string png = out.file("changes.png"), images = dir_->file("original");
    Args args = originals("original");
    for (const std::string& extra : {std::string("--images"), images, std::string("--png"), png})
        args.push_back(extra);
    const auto r = Cli(info(args));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const RgbImage picture = ReadPng(png);
    ASSERT_EQ(picture.Width, 1536);
    ASSERT_EQ(picture.Height, 1024);
    MapOverview overview;
    ASSERT_TRUE(
        overview.draw({dir_->file("original/map0.mul"), images, WholeMap(), kDiffPictureScale}));
    const Rgb filled = picture.at(200 * 2, 200 * 2);
    EXPECT_TRUE(filled == kMapChangeColour || filled == kBothChangedColour);
    EXPECT_EQ(picture.at(10, 10), overview.image().at(10, 10)) << "unchanged: the overview";

    // Written beside the original map, the same picture.
    const std::string beside = dir_->file("original/changes.png");
    args.back() = beside;
    const auto near = Cli(info(args));
    EXPECT_EQ(near.exitCode, 0) << near.err;
    EXPECT_EQ(ReadPng(beside).Bytes, picture.Bytes);
    std::filesystem::remove(beside);

    // Without the originals, a grid.
    const auto grid = Cli(info({"--png", png}));
    ASSERT_EQ(grid.exitCode, 0) << grid.err;
    EXPECT_NE(ReadPng(png).at(10, 10), overview.image().at(10, 10));
}

TEST_F(DiffInfoCliTest, ADamagedDiffEndsWithStatusOne) {
    const std::string damaged = out.file("damaged.lw2");
    const std::string whole = test::ReadWholeFile(diff());
    test::WriteWholeFile(damaged, whole.substr(0, whole.size() - 1000));
    const auto r = Cli({"diff-info", "--diff", damaged});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(HasLine(r, "version: 2"));
    EXPECT_EQ(r.lastErrLine().rfind("The diff file is damaged: its map index", 0), 0u) << r.err;
    EXPECT_EQ(r.outLines().back(), "damaged: " + r.lastErrLine());

    // One byte changed on its way: the trailer's checksum no longer matches.
    std::string changed = whole;
    changed[2000] ^= 1;
    test::WriteWholeFile(damaged, changed);
    const auto c = Cli({"diff-info", "--diff", damaged});
    EXPECT_EQ(c.exitCode, 1);
    EXPECT_EQ(c.lastErrLine().rfind("The diff file is damaged: its content does not match", 0), 0u)
        << c.err;
}

} // namespace
} // namespace lw
