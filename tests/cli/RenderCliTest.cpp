// render end to end on the demo world: the picture the overview draws, and requests that fail
// before anything is written.
#include "cli/PngReading.h"
#include "mapedit/MapOverview.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "util/File.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace lw {
namespace {

using test::ReadPng;

class RenderCliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = std::make_unique<test::TempDir>();
        ASSERT_EQ(test::RunProgram(LW_CLI_PATH, {"demo-world", demo_->path()}).exitCode, 0);
    }
    static void TearDownTestSuite() { demo_.reset(); }

    test::ProgramResult render(std::vector<std::string> extra) const {
        std::vector<std::string> args{"render", "--map", map, "--images", demo_->path()};
        args.insert(args.end(), extra.begin(), extra.end());
        return test::RunProgram(LW_CLI_PATH, args);
    }
    RgbImage drawn(TileRect region, int scale) const {
        MapOverview overview;
        EXPECT_TRUE(overview.draw({map, demo_->path(), region, scale}));
        return overview.image();
    }

    static std::unique_ptr<test::TempDir> demo_;
    std::string map = demo_->file("map0.mul");
    test::TempDir out;
    std::string png = out.file("overview.png");
};
std::unique_ptr<test::TempDir> RenderCliTest::demo_;

TEST_F(RenderCliTest, WritesThePictureTheOverviewDraws) {
    const auto whole = render({"--scale", "16", "--out", png});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.out, "");
    const RgbImage written = ReadPng(png);
    ASSERT_EQ(written.Width, 384);
    ASSERT_EQ(written.Height, 256);
    EXPECT_EQ(written.Bytes, drawn(WholeMap(), 16).Bytes);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < written.Height; y += 8)
        for (int x = 0; x < written.Width; x += 8) {
            const Rgb c = written.at(x, y);
            colours.insert(std::uint32_t{c.R} << 16 | std::uint32_t{c.G} << 8 | c.B);
        }
    EXPECT_GT(colours.size(), 20u) << "a landscape, not a plain picture";

    // The coast west of the third town, one pixel a tile; the old picture is replaced.
    const auto coast = render({"--region", "$A06", "2629", "2690", "2721", "--out", png});
    ASSERT_EQ(coast.exitCode, 0) << coast.err;
    const RgbImage region = ReadPng(png);
    ASSERT_EQ(region.Width, 64);
    ASSERT_EQ(region.Height, 32);
    EXPECT_EQ(region.Bytes, drawn({2566, 2690, 64, 32}, 1).Bytes);

    // Beside the map, in its own folder, the same picture: the one declaration of the map holds
    // for the whole draw.
    const std::string beside = demo_->file("coast.png");
    const auto near = render({"--region", "$A06", "2629", "2690", "2721", "--out", beside});
    EXPECT_EQ(near.exitCode, 0) << near.err;
    EXPECT_EQ(ReadPng(beside).Bytes, region.Bytes);
    std::filesystem::remove(beside);
}

TEST_F(RenderCliTest, BadRequestsFailBeforeAnythingIsWritten) {
    const std::optional<FileStamp> mapBefore = StampOf(map);
    const std::string art = demo_->file("art.mul");
    const std::optional<FileStamp> artBefore = StampOf(art);
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--region", "10", "9", "0", "0", "--out", png}, "Fehler bei Bereichsprüfung"},
        {{"--region", "0", "6144", "0", "0", "--out", png}, "Fehler bei Bereichsprüfung"},
        {{"--region", "0", "0", "-1", "0", "--out", png}, "Fehler bei Bereichsprüfung"},
        {{"--scale", "0", "--out", png}, "Fehler bei Bereichsprüfung"},
        {{"--scale", "2x", "--out", png}, "'2x' ist kein gültiger Integerwert"},
        {{"--out", map}, "The map file and the picture file are the same file: " + map},
        {{"--out", art}, "The art file and the picture file are the same file: " + art},
    };
    for (const auto& c : cases) {
        const auto r = render(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.message;
        EXPECT_EQ(r.lastErrLine(), c.message);
    }
    const auto noImages = test::RunProgram(
        LW_CLI_PATH, {"render", "--map", map, "--images", out.file("none"), "--out", png});
    EXPECT_EQ(noImages.exitCode, 1);
    EXPECT_EQ(noImages.lastErrLine(), "Datei nicht gefunden");
    EXPECT_EQ(render({"--region", "0", "1", "2", "--out", png}).exitCode, 2);

    EXPECT_FALSE(FileExists(png));
    EXPECT_EQ(StampOf(map), mapBefore);
    EXPECT_EQ(StampOf(art), artBefore);
    EXPECT_EQ(FolderEntries(out.path()), std::vector<std::string>{});
}

// The size comes from the map: a demo world of facet 4 (1448 x 1448) with its map in a container.
TEST_F(RenderCliTest, TheMapsOwnWorldInAContainer) {
    const std::string world = out.file("facet4"), uop = world + "/map4LegacyMUL.uop";
    ASSERT_EQ(
        test::RunProgram(LW_CLI_PATH, {"demo-world", world, "--facet", "4", "--uop"}).exitCode, 0);
    const std::string picture = out.file("facet4.png");
    const auto whole = test::RunProgram(
        LW_CLI_PATH, {"render", "--map", uop, "--images", world, "--scale", "8", "--out", picture});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const RgbImage written = ReadPng(picture);
    EXPECT_EQ(written.Width, 181);
    EXPECT_EQ(written.Height, 181);
    MapOverview overview;
    ASSERT_TRUE(overview.draw({uop, world, WholeMap({181, 181}), 8}));
    EXPECT_EQ(written.Bytes, overview.image().Bytes);

    const auto beyond =
        test::RunProgram(LW_CLI_PATH, {"render", "--map", uop, "--images", world, "--region",
                                       "1440", "1448", "0", "7", "--out", picture});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_EQ(beyond.lastErrLine(), "Fehler bei Bereichsprüfung");
}

} // namespace
} // namespace lw
