#include "mapedit/MapOverview.h"

#include "mapedit/CellPrinters.h"
#include "mapedit/MapCells.h"
#include "mapedit/Stroke.h"
#include "mapedit/TileColours.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/JournalFile.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

namespace lw {

inline void PrintTo(const Rgb& c, std::ostream* out) {
    *out << "rgb(" << +c.R << ", " << +c.G << ", " << +c.B << ")";
}

namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kRed = 0x10, kHalfBlue = 0x11, kGreenArt = 0x20, kNoPicture = 5000;

// Pictures whose averages are known without computing them.
void WritePictures(const std::string& folder, std::uint16_t redValue = 0x7C00) {
    test::ImagePair textures, art;
    textures.add(kRed, std::vector<std::uint16_t>(64 * 64, redValue));
    std::vector<std::uint16_t> halfBlue(128 * 128, 0x801F); // bit 15 is not a colour
    std::fill(halfBlue.begin(), halfBlue.begin() + 128 * 64, 0);
    textures.add(kHalfBlue, halfBlue);
    art.add(kGreenArt, std::vector<std::uint16_t>(1012, 0x03E0), 2048);
    // Indexes of every id that has a picture, as the client's are.
    textures.setEntry(kImageIdCount - 1, {-1, -1, 0});
    art.setEntry(kImageIdCount - 1, {-1, -1, 0});
    test::WriteImageFolder(folder, textures, art);
}

// The average of each picture: the art square has one black corner in its 45 x 45 pixels.
Rgb AverageOf(std::uint16_t tile) {
    static const std::map<std::uint16_t, Rgb> known{
        {kRed, {255, 0, 0}}, {kHalfBlue, {0, 0, 128}}, {kGreenArt, {0, 255, 0}}};
    const auto found = known.find(tile);
    return found == known.end() ? Rgb{} : found->second;
}

TEST(TileColour, AverageOfThePixelsAsDrawn) {
    const auto image = [](std::vector<std::uint16_t> pixels) {
        TileImage picture;
        picture.resize(static_cast<int>(pixels.size()), 1);
        picture.Pixels = std::move(pixels);
        return picture;
    };
    const struct {
        TileImage picture;
        Rgb average;
    } cases[] = {
        {BlackTileImage(), {0, 0, 0}},
        {image({0x7FFF, 0x0000}), {128, 128, 128}},
        {image({0x8000 | 0x001F}), {0, 0, 255}},
        {image({0x0421}), {8, 8, 8}},
        {image({0x7C00, 0x03E0, 0x001F}), {85, 85, 85}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AverageColour(c.picture), c.average) << c.picture.Pixels.size();
}

TEST(TileColour, AltitudeShades) {
    const struct {
        std::int8_t altitude;
        Rgb shaded;
    } cases[] = {{0, {200, 100, 0}},   {-5, {196, 98, 0}},  {-128, {100, 50, 0}},
                 {127, {255, 149, 0}}, {64, {250, 125, 0}}, {65, {250, 125, 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(ShadedColour({200, 100, 0}, c.altitude), c.shaded) << +c.altitude;
}

class MapOverviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSparseMap(map);
        WritePictures(dir.path());
    }
    void TearDown() override { EXPECT_EQ(FileFaults::OpenHandles(), 0); }
    Rgb cellColour(int x, int y) {
        const TMapCell cell = ReadMapCell(map, x, y);
        return ShadedColour(AverageOf(cell.Tile), cell.Altitude);
    }
    OverviewRequest request(TileRect region, int scale) const {
        return {map, dir.path(), region, scale};
    }
    // The time of a file moved on, as a later write by another program leaves it.
    void touch(const std::string& path) {
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(3));
    }

    test::TempDir dir;
    std::string map = dir.file("map0.mul");
    MapOverview overview;
};

TEST_F(MapOverviewTest, APixelATileInTheColourOfItsPicture) {
    // Across block borders, with every kind of picture and altitude.
    const std::uint16_t tiles[] = {kRed, kHalfBlue, kGreenArt, kNoPicture, 0};
    int i = 0;
    for (int y = 5; y < 17; ++y)
        for (int x = 3; x < 23; ++x, ++i)
            if (i % 3 != 0)
                WriteMapCell(map, x, y,
                             {tiles[i % 5], static_cast<std::int8_t>((i * 37) % 256 - 128)});
    ASSERT_TRUE(overview.draw(request({3, 5, 20, 12}, 1)));
    const RgbImage& image = overview.image();
    ASSERT_EQ(image.Width, 20);
    ASSERT_EQ(image.Height, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(image.at(x, y), cellColour(x + 3, y + 5)) << x << "," << y;
    EXPECT_TRUE(overview.isCurrent());

    // Without the image files every tile is black, as in the editor.
    ASSERT_TRUE(overview.draw({map, dir.file("nowhere"), {3, 5, 20, 12}, 1}));
    EXPECT_EQ(overview.image().Bytes, std::vector<std::uint8_t>(20 * 12 * 3, 0));
}

TEST_F(MapOverviewTest, ScaledPixelsAverageTheTilesTheyStandFor) {
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if (x != 1 || y != 1)
                WriteMapCell(map, x, y, {kRed, 0});
    WriteMapCell(map, 9, 0, {kRed, 0});
    WriteMapCell(map, 9, 6, {kGreenArt, -128});
    ASSERT_TRUE(overview.draw(request({0, 0, 10, 7}, 3)));
    const RgbImage& image = overview.image();
    ASSERT_EQ(image.Width, 4);
    ASSERT_EQ(image.Height, 3);
    EXPECT_EQ(image.at(0, 0), (Rgb{227, 0, 0})); // 8 of 9 tiles red
    EXPECT_EQ(image.at(3, 0), (Rgb{85, 0, 0}));  // the edge column: one of 3 tiles
    EXPECT_EQ(image.at(3, 2), (Rgb{0, 127, 0})); // the corner: one tile, at half light
    EXPECT_EQ(image.at(1, 1), (Rgb{0, 0, 0}));

    // The whole map fitted into 300 x 200 pixels: 21 tiles a pixel, the last ones 12 x 1.
    WriteMapCell(map, 6143, 4095, {kRed, 0});
    EXPECT_EQ(FitScale(WholeMap(), 300, 200), 21);
    ASSERT_TRUE(overview.draw(request(WholeMap(), 21)));
    EXPECT_EQ(overview.image().Width, 293);
    EXPECT_EQ(overview.image().Height, 196);
    EXPECT_EQ(overview.image().at(292, 195), (Rgb{21, 0, 0}));
    EXPECT_EQ(overview.pixelOf(6143, 4095), (CellPos{292, 195}));
    EXPECT_EQ(overview.tileAt(292, 195), (CellPos{6132, 4095}));
}

TEST_F(MapOverviewTest, FitScales) {
    const struct {
        TileRect region;
        int width, height, scale;
    } cases[] = {
        {WholeMap(), 6144, 4096, 1}, {WholeMap(), 10000, 10000, 1}, {WholeMap(), 6143, 4096, 2},
        {WholeMap(), 3072, 100, 41}, {{5, 5, 1, 1}, 0, 0, 1},       {{0, 0, 64, 64}, 0, 0, 64},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitScale(c.region, c.width, c.height), c.scale) << c.width << "x" << c.height;
}

TEST_F(MapOverviewTest, APaintRedrawsItsPixelsAsAFreshDrawingWould) {
    const OverviewRequest scaled = request({0, 0, 64, 64}, 2);
    ASSERT_TRUE(overview.draw(scaled));
    Stroke stroke(map);
    Brush brush;
    brush.chooseListEntry(1);
    brush.Tile = kRed;
    brush.Size = 3;
    std::uint32_t seed = 0;
    std::vector<CellPos> painted = stroke.paint(brush, 31, 31, seed);
    brush.Tile = kGreenArt;
    const auto more = stroke.paint(brush, 40, 60, seed);
    painted.insert(painted.end(), more.begin(), more.end());
    painted.push_back({100, 100}); // outside the region: nothing to draw
    EXPECT_FALSE(overview.isCurrent()) << "the paint changed the file";

    overview.redrawCells(painted);
    MapOverview fresh;
    ASSERT_TRUE(fresh.draw(scaled));
    EXPECT_EQ(overview.image().Bytes, fresh.image().Bytes);
    EXPECT_EQ(overview.image().at(16, 16), (Rgb{64, 0, 0})); // one of its 4 tiles painted
    EXPECT_TRUE(overview.isCurrent()) << "its own paint";

    // Another program's change, and a change of the pictures, make it out of date.
    touch(map);
    EXPECT_FALSE(overview.isCurrent());
    ASSERT_TRUE(overview.draw(scaled));
    touch(dir.file(kTexMapsName));
    EXPECT_FALSE(overview.isCurrent());
}

TEST_F(MapOverviewTest, ColoursFollowTheImageFiles) {
    TileColours colours;
    ASSERT_TRUE(colours.refresh(dir.path()));
    EXPECT_EQ(colours.cellColour({kRed, 0}), (Rgb{255, 0, 0}));
    EXPECT_EQ(colours.cellColour({kRed, -128}), (Rgb{127, 0, 0}));
    EXPECT_EQ(colours.average(kGreenArt), (Rgb{0, 255, 0}));
    EXPECT_EQ(colours.average(4095), (Rgb{}));
    EXPECT_EQ(colours.average(4096), (Rgb{})) << "no picture, and no index entry read";

    WritePictures(dir.path(), 0x001F);
    touch(dir.file(kTexMapsName));
    ASSERT_TRUE(colours.refresh(dir.path()));
    EXPECT_EQ(colours.average(kRed), (Rgb{0, 0, 255}));
    EXPECT_FALSE(colours.refresh(dir.file("nowhere")));
    EXPECT_EQ(colours.average(kRed), (Rgb{}));
}

TEST_F(MapOverviewTest, BadRequestsFailAndAStopLeavesItIncomplete) {
    const TileRect bad[] = {{6140, 0, 5, 1}, {0, 4096, 1, 1}, {0, 0, 0, 1}, {-1, 0, 1, 1}};
    for (const TileRect& region : bad)
        EXPECT_THROW(overview.draw(request(region, 1)), RangeError) << region.Left;
    EXPECT_THROW(overview.draw(request(WholeMap(), 0)), RangeError);
    EXPECT_THROW(overview.draw(request(WholeMap(), 6145)), RangeError);

    test::WriteWholeFile(map, std::string(1000, '\0'));
    EXPECT_THROW(overview.draw(request({0, 0, 64, 64}, 1)), IoError);
    EXPECT_FALSE(overview.isCurrent());

    test::MakeSparseMap(map);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(overview.draw(request(WholeMap(), 1), stop.get_token()));
    EXPECT_FALSE(overview.isCurrent());

    // What an interrupted operation left beside the map is looked at first: a journal that
    // cannot be trusted stops the draw.
    test::WriteWholeFile(JournalPathIn(fs::path(map).parent_path().string()), "not a journal");
    EXPECT_THROW(overview.draw(request({0, 0, 64, 64}, 1)), JournalError);
    fs::remove(JournalPathIn(fs::path(map).parent_path().string()));
}

// The 7168 x 4096 world in a container is drawn as its plain map is, to its last column, and a
// paint inside the container redraws its pixels as a fresh drawing would.
TEST_F(MapOverviewTest, AContainerOfTheWiderWorldIsDrawnAsItsPlainMap) {
    constexpr WorldSize wide{896, 512};
    const test::MapInBothForms maps = test::MakeMapInBothForms(dir.file("wide"), wide);
    const std::string &plain = maps.plain, &container = maps.container;
    for (const std::string& path : {plain, container}) {
        WriteMapCell(path, 7000, 4090, {kGreenArt, 0});
        WriteMapCell(path, 7167, 4095, {kRed, -128});
    }

    const TileRect east{6976, 4080, 192, 16};
    ASSERT_TRUE(overview.draw({plain, dir.path(), east, 1}));
    const RgbImage fromPlain = overview.image();
    EXPECT_EQ(fromPlain.at(24, 10), (Rgb{0, 255, 0}));
    EXPECT_EQ(fromPlain.at(191, 15), (Rgb{127, 0, 0}));
    ASSERT_TRUE(overview.draw({container, dir.path(), east, 1}));
    EXPECT_EQ(overview.image().Bytes, fromPlain.Bytes);
    EXPECT_THROW(overview.draw({container, dir.path(), {6976, 0, 193, 1}, 1}), RangeError);

    ASSERT_TRUE(overview.draw({container, dir.path(), east, 1}));
    Stroke stroke(container);
    Brush brush;
    brush.chooseListEntry(1);
    brush.Tile = kRed;
    brush.Size = 5;
    std::uint32_t seed = 0;
    overview.redrawCells(stroke.paint(brush, 7100, 4093, seed));
    EXPECT_TRUE(overview.isCurrent());
    MapOverview fresh;
    ASSERT_TRUE(fresh.draw({container, dir.path(), east, 1}));
    EXPECT_EQ(overview.image().Bytes, fresh.image().Bytes);
    EXPECT_EQ(fresh.image().at(124, 15), (Rgb{255, 0, 0}));

    ASSERT_TRUE(fresh.draw({container, dir.path(), WholeMap(wide), 64}));
    EXPECT_EQ(fresh.image().Width, 112);
    EXPECT_EQ(fresh.image().Height, 64);
}

} // namespace
} // namespace lw
