#include "mapedit/TilePictures.h"

#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "util/Errors.h"
#include "util/File.h"

#include <array>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::CountingValues;
using test::ImagePair;

class TilePicturesTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(FileFaults::OpenHandles(), 0); }
    ImageFiles write() {
        test::WriteImageFolder(dir.path(), textures, art);
        return *FindImageFiles(dir.path());
    }
    test::TempDir dir;
    ImagePair textures, art;
};

// The rotation written the plain way: each value lands on its cell and the cells to its right and
// below, later values overwriting earlier ones.
TileImage ReferenceRotation(const std::vector<std::uint16_t>& values) {
    std::array<std::array<std::uint16_t, 46>, 46> work{}; // [y][x]
    std::size_t k = 0;
    for (int r = 0; r < 44; ++r) {
        int x = r < 22 ? 0 : 2 * (r - 22) + 1, y = r < 22 ? 2 * r + 1 : 44;
        const int length = r < 22 ? 2 * (r + 1) : 2 * (44 - r);
        for (int i = 0; i < length; ++i, ++x, --y) {
            const std::uint16_t v = values[k++];
            work[y][x] = v;
            work[y][x + 1] = v;
            work[y + 1][x] = v;
        }
    }
    TileImage image;
    image.resize(45, 45);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x)
            image.Pixels[static_cast<std::size_t>(y * 45 + x)] = work[y][x];
    return image;
}

TEST_F(TilePicturesTest, ArtTurnsSoTheDiamondCornersMeetTheSquareCorners) {
    const auto values = CountingValues(kArtPixelCount);
    art.add(7, values, 2048);
    const ImageFiles files = write();
    TileImage image;
    ASSERT_TRUE(LoadArtImage(files, 7, image));
    ASSERT_EQ(image.Width, 45);
    ASSERT_EQ(image.Height, 45);
    EXPECT_EQ(image.pixel(0, 0), 0);
    EXPECT_EQ(image.pixel(0, 1), 1);
    EXPECT_EQ(image.pixel(1, 0), 2);
    EXPECT_EQ(image.pixel(1, 1), 2);
    EXPECT_EQ(image.pixel(2, 0), 2); // top row: from the left
    EXPECT_EQ(image.pixel(0, 2), 1); // elsewhere: from above
    EXPECT_EQ(image.pixel(43, 44), 1011);
    EXPECT_EQ(image.pixel(44, 43), 1012);
    EXPECT_EQ(image.pixel(44, 44), 1012);
    EXPECT_EQ(image.pixel(22, 23), 528); // run 22 starts at value 507 in column 1
    EXPECT_EQ(image.Pixels, ReferenceRotation(values).Pixels);
}

TEST_F(TilePicturesTest, TexturesAreReadRowByRowFromTheTop) {
    textures.add(3, CountingValues(64 * 64, 100));
    textures.add(4095, CountingValues(128 * 128, 5));
    const ImageFiles files = write();
    for (const auto& [id, side, first] : {std::tuple{3, 64, 100}, {4095, 128, 5}}) {
        TileImage image;
        ASSERT_TRUE(LoadTextureImage(files, static_cast<std::uint16_t>(id), image)) << id;
        EXPECT_EQ(image.Width, side);
        EXPECT_EQ(image.Height, side);
        EXPECT_EQ(image.pixel(0, 0), first);
        EXPECT_EQ(image.pixel(1, 0), first + 1);
        EXPECT_EQ(image.pixel(0, 1), first + side);
        EXPECT_EQ(image.pixel(side - 1, side - 1), (first + side * side - 1) & 0x7FFF);
    }
}

TEST_F(TilePicturesTest, PictureRuleTakesTextureThenArtThenBlack) {
    const auto artValues = CountingValues(kArtPixelCount, 9);
    for (int id : {1, 2, 3, 4, 5})
        art.add(id, artValues, 2048);
    textures.add(1, CountingValues(64 * 64, 40));         // texture wins over art
    textures.add(2, CountingValues(64 * 64), 0);          // length 0: no texture
    textures.add(3, CountingValues(128 * 64), 16384);     // neither side
    art.setEntry(5, {-1, 2048, 0});                       // art missing too
    textures.add(6, CountingValues(128 * 128, 1), 32768); // no art entry at all
    const ImageFiles files = write();
    // The top-right corner repeats the end of the longest first-half run, value 506.
    const std::uint16_t artTopRight = 9 + 505;

    const struct {
        std::uint16_t id;
        int side;
        std::uint16_t topRight;
    } cases[] = {{1, 64, 40 + 63},
                 {2, 45, artTopRight},
                 {3, 45, artTopRight},
                 {4, 45, artTopRight},
                 {5, 1, 0},
                 {6, 128, 128},
                 {0, 1, 0}};
    for (const auto& c : cases) {
        const TileImage image = MakeTileImage(files, c.id);
        EXPECT_EQ(image.Width, c.side) << c.id;
        EXPECT_EQ(image.Height, c.side) << c.id;
        EXPECT_EQ(image.pixel(c.side - 1, 0), c.topRight) << c.id;
    }
}

TEST_F(TilePicturesTest, ArtOfTheBareLengthShowsTheSameAsTheClientLength) {
    const auto values = CountingValues(kArtPixelCount, 300);
    art.add(1, values, 2048);
    art.add(2, values, 2024);
    // The stored 2024 bytes end the file: the loader must not read the 2044 of a client entry.
    const ImageFiles files = write();
    TileImage client, bare;
    ASSERT_TRUE(LoadArtImage(files, 1, client));
    ASSERT_TRUE(LoadArtImage(files, 2, bare));
    EXPECT_EQ(bare.Pixels, client.Pixels);
}

TEST_F(TilePicturesTest, OtherArtEntriesGiveNoPictureAndLeaveTheImage) {
    const auto values = CountingValues(kArtPixelCount);
    art.add(1, values, 2044);
    art.add(2, values, 2052);
    art.add(3, values, 0);
    art.add(4, values, 2048);
    art.setEntry(4, {-1, 2048, 0});
    textures.setEntry(5000, {0, 0, 0});
    art.add(5000, values, 2048);
    const ImageFiles files = write();
    for (int id : {1, 2, 3, 4, 5000}) {
        TileImage image = BlackTileImage();
        image.Pixels[0] = 0x1234;
        EXPECT_FALSE(LoadArtImage(files, static_cast<std::uint16_t>(id), image)) << id;
        EXPECT_FALSE(LoadTextureImage(files, static_cast<std::uint16_t>(id), image)) << id;
        EXPECT_EQ(image.Width, 1);
        EXPECT_EQ(image.Pixels[0], 0x1234);
    }
}

TEST_F(TilePicturesTest, IdsFrom4096OnOpenNoFile) {
    const ImageFiles nowhere{dir.file("a"), dir.file("b"), dir.file("c"), dir.file("d")};
    const TileImage image = MakeTileImage(nowhere, 4096);
    EXPECT_EQ(image.Width, 1);
    EXPECT_EQ(image.Pixels, std::vector<std::uint16_t>{0});
    EXPECT_THROW(MakeTileImage(nowhere, 4095), IoError);
}

TEST_F(TilePicturesTest, EntriesPointingPastTheirFilesAreReadErrors) {
    textures.add(1, CountingValues(64 * 64));
    textures.setEntry(2, {100, 8192, 0}); // data ends early
    textures.setEntry(3, {-1, 8192, 0});  // nowhere at all
    art.add(4, CountingValues(kArtPixelCount), 2048);
    art.setEntry(5, {1000, 2048, 0});
    textures.setEntry(39, {-1, -1, 0});
    const ImageFiles files = write();
    // 10 lies past the end of the art index, 40 past the end of the texture index.
    for (int id : {2, 3, 5, 10, 40}) {
        try {
            MakeTileImage(files, static_cast<std::uint16_t>(id));
            ADD_FAILURE() << id;
        } catch (const IoError& e) {
            EXPECT_EQ(e.code(), kIoReadPastEnd) << id;
        }
    }
}

} // namespace
} // namespace lw
