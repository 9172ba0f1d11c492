#include "mapedit/TilePictureCache.h"

#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::CountingValues;
using test::ImagePair;

class ImageFolderTest : public ::testing::Test {
protected:
    void writeTextures(std::uint16_t first, std::size_t side = 64) {
        ImagePair textures, art;
        textures.add(1, CountingValues(side * side, first));
        test::WriteImageFolder(dir.path(), textures, art);
    }
    std::uint16_t topLeftOfTile1() { return cache.picture(1).pixel(0, 0); }
    test::TempDir dir;
    TilePictureCache cache;
};

TEST_F(ImageFolderTest, NamesDifferingInCaseAreFoundAfterTheExactOne) {
#ifdef _WIN32
    GTEST_SKIP() << "names differing only in case name one file on Windows";
#endif
    writeTextures(1);
    fs::rename(dir.file("texidx.mul"), dir.file("TEXIDX.MUL"));
    fs::rename(dir.file("texmaps.mul"), dir.file("TexMaps.mul"));
    fs::copy_file(dir.file("art.mul"), dir.file("ART.MUL"));
    fs::create_directory(dir.file("ARTIDX.MUL")); // a folder never counts
    fs::rename(dir.file("artidx.mul"), dir.file("ArtIdx.mul"));

    const auto files = FindImageFiles(dir.path());
    ASSERT_TRUE(files);
    EXPECT_EQ(files->TexIdx, dir.file("TEXIDX.MUL"));
    EXPECT_EQ(files->TexMaps, dir.file("TexMaps.mul"));
    EXPECT_EQ(files->ArtIdx, dir.file("ArtIdx.mul"));
    EXPECT_EQ(files->Art, dir.file("art.mul"));
    // A folder typed with its separator gets no second one.
    EXPECT_EQ(FindImageFile(dir.path() + "/", "art.mul"), dir.path() + "/art.mul");

    fs::remove(dir.file("TexMaps.mul"));
    EXPECT_FALSE(FindImageFiles(dir.path()));
    EXPECT_FALSE(FindImageFiles(dir.file("no-such-folder")));
}

TEST_F(ImageFolderTest, CacheKeepsPicturesWhileTheFilesStayTheSame) {
    writeTextures(10);
    // Whole seconds, since the C runtime on Windows sets file times only to the second.
    const std::string texmaps = dir.file("texmaps.mul");
    const auto time = std::chrono::floor<std::chrono::seconds>(fs::last_write_time(texmaps));
    fs::last_write_time(texmaps, time);
    ASSERT_TRUE(cache.refresh(dir.path()));
    EXPECT_EQ(topLeftOfTile1(), 10);
    const auto generation = cache.generation();

    // New bytes of the same size, written in place with the old time: the cache cannot tell.
    File f = File::OpenReadWrite(texmaps);
    const std::uint16_t other = 77;
    f.write(&other, 2);
    f.close();
    fs::last_write_time(texmaps, time);
    ASSERT_TRUE(cache.refresh(dir.path()));
    EXPECT_EQ(topLeftOfTile1(), 10);
    EXPECT_EQ(cache.generation(), generation);

    // Its time changes: the next draw shows the new bytes.
    fs::last_write_time(texmaps, time + std::chrono::seconds(5));
    ASSERT_TRUE(cache.refresh(dir.path()));
    EXPECT_EQ(topLeftOfTile1(), 77);
    EXPECT_NE(cache.generation(), generation);
}

TEST_F(ImageFolderTest, CacheStartsOverForAnotherSizeOrFolder) {
    writeTextures(10);
    ASSERT_TRUE(cache.refresh(dir.path()));
    EXPECT_EQ(topLeftOfTile1(), 10);

    // A larger texture, with the old time on every file.
    const auto time = fs::last_write_time(dir.file("texidx.mul"));
    writeTextures(20, 128);
    for (const char* name : {kTexIdxName, kTexMapsName, kArtIdxName, kArtName})
        fs::last_write_time(dir.file(name), time);
    ASSERT_TRUE(cache.refresh(dir.path()));
    EXPECT_EQ(cache.picture(1).Width, 128);
    EXPECT_EQ(topLeftOfTile1(), 20);

    // Another folder, then one without the files: black, and no file is read.
    test::TempDir other;
    ImagePair textures, art;
    textures.add(1, CountingValues(64 * 64, 30));
    test::WriteImageFolder(other.path(), textures, art);
    ASSERT_TRUE(cache.refresh(other.path()));
    EXPECT_EQ(topLeftOfTile1(), 30);
    EXPECT_FALSE(cache.refresh(dir.file("missing")));
    EXPECT_EQ(cache.picture(1).Width, 1);
    EXPECT_EQ(topLeftOfTile1(), 0);
}

} // namespace
} // namespace lw
