#include "cli/PngReading.h"
#include "mapedit/TilePictures.h"
#include "support/ImageFiles.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <gtest/gtest.h>
#include <ostream>

namespace lw {

inline void PrintTo(const Rgb& c, std::ostream* out) {
    *out << "rgb(" << +c.R << ", " << +c.G << ", " << +c.B << ")";
}

namespace {

using test::CountingValues;
using test::ReadPng;

// The colour a pixel is written in, worked out here on its own rather than taken from the code.
Rgb Widened(std::uint16_t pixel) {
    const auto widen = [](unsigned c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); };
    return {widen(pixel >> 10 & 31), widen(pixel >> 5 & 31), widen(pixel & 31)};
}

class TilePictureCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every channel value in the texture, and bit 15 set on some pixels (it is ignored).
        textureValues = CountingValues(64 * 64, 0);
        for (std::size_t i = 0; i < textureValues.size(); i += 3)
            textureValues[i] |= 0x8000;
        test::ImagePair textures, art;
        textures.add(0x10, textureValues);
        textures.setEntry(0x30, {0, 100, 0});
        art.add(0x20, artValues, 2048);
        art.setEntry(0x30, {5000, 2048, 0});
        test::WriteImageFolder(dir.path(), textures, art);
    }
    test::ProgramResult picture(const std::string& id) {
        return test::RunProgram(LW_CLI_PATH,
                                {"tile-picture", "--images", dir.path(), id, "--out", out});
    }
    test::TempDir dir;
    std::string out = dir.file("tile.png");
    std::vector<std::uint16_t> textureValues;
    std::vector<std::uint16_t> artValues = CountingValues(kArtPixelCount, 0x7000);
};

TEST_F(TilePictureCliTest, WritesTheTexturePixelByPixel) {
    const auto r = picture("$10");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const RgbImage png = ReadPng(out);
    ASSERT_EQ(png.Width, 64);
    ASSERT_EQ(png.Height, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(png.at(x, y), Widened(textureValues[static_cast<std::size_t>(y * 64 + x)]))
                << x << "," << y;
    EXPECT_EQ(png.at(31, 0), (Rgb{0, 0, 255}));
}

TEST_F(TilePictureCliTest, WritesTheRotatedArtOrOneBlackPixel) {
    ASSERT_EQ(picture("32").exitCode, 0);
    const RgbImage art = ReadPng(out);
    const TileImage expected =
        RotateArt(std::span<const std::uint16_t, kArtPixelCount>(artValues.data(), kArtPixelCount));
    ASSERT_EQ(art.Width, 45);
    ASSERT_EQ(art.Height, 45);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x)
            ASSERT_EQ(art.at(x, y), Widened(expected.pixel(x, y))) << x << "," << y;

    for (const char* id : {"0x11", "4096", "65535"}) {
        ASSERT_EQ(picture(id).exitCode, 0) << id;
        const RgbImage black = ReadPng(out);
        EXPECT_EQ(black.Width, 1) << id;
        EXPECT_EQ(black.Bytes, std::vector<std::uint8_t>(3, 0)) << id;
    }
}

TEST_F(TilePictureCliTest, FailuresEndWithTheMessageAndWriteNothing) {
    const struct {
        std::string images, id, message;
    } cases[] = {
        {dir.file("nowhere"), "1", "Datei nicht gefunden"},
        {dir.path(), "1e", "'1e' ist kein gültiger Integerwert"},
        {dir.path(), "70000", "Fehler bei Bereichsprüfung"},
        {dir.path(), "0x30", "Versuch hinter dem Dateiende zu lesen"}, // art past its data
        {dir.path(), "0x40", "Versuch hinter dem Dateiende zu lesen"}, // past both indexes
    };
    for (const auto& c : cases) {
        const auto r = test::RunProgram(LW_CLI_PATH,
                                        {"tile-picture", "--images", c.images, c.id, "--out", out});
        EXPECT_EQ(r.exitCode, 1) << c.id;
        EXPECT_EQ(r.lastErrLine(), c.message) << c.id;
        EXPECT_FALSE(FileExists(out)) << c.id;
    }
}

TEST_F(TilePictureCliTest, AnOutputThatIsOneOfTheImageFilesIsRefused) {
    const struct {
        const char* name;
        const char* role;
    } cases[] = {{kArtName, "art file"}, {kTexIdxName, "texture index"}};
    for (const auto& c : cases) {
        const std::string input = dir.file(c.name);
        const std::string before = test::ReadWholeFile(input);
        const auto r = test::RunProgram(
            LW_CLI_PATH, {"tile-picture", "--images", dir.path(), "0x10", "--out", input});
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_EQ(r.lastErrLine(), std::string("The ") + c.role +
                                       " and the picture file are the same file: " + input);
        EXPECT_TRUE(test::ReadWholeFile(input) == before) << c.name;
    }
}

} // namespace
} // namespace lw
