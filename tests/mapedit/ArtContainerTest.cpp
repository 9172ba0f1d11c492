// Land art from artLegacyMUL.uop, as later clients ship it in place of art.mul and artidx.mul.
#include "mapedit/TilePictureCache.h"
#include "mapedit/TilePictures.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "util/Errors.h"
#include "util/File.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

std::string ArtName(int id) {
    char name[48];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08d.tga", id);
    return name;
}

std::string Bytes(const std::vector<std::uint16_t>& values, std::size_t length) {
    std::string bytes(reinterpret_cast<const char*>(values.data()), values.size() * 2);
    bytes.resize(length, '\0');
    return bytes;
}

TEST(ArtContainerTest, LandArtComesFromTheContainerWhenTheArtPairIsMissing) {
    test::TempDir plain, modern;
    const auto values = test::CountingValues(kArtPixelCount, 11);
    test::ImagePair textures, art;
    textures.add(1, test::CountingValues(64 * 64));
    textures.setEntry(10, {-1, -1, 0}); // the texture index reaches every id asked for
    art.add(7, values, 2048);
    art.add(8, values, 2024);
    test::WriteImageFolder(plain.path(), textures, art);
    textures.write(modern.file("texidx.mul"), modern.file("texmaps.mul"));
    test::WriteUopEntries(modern.file("artLegacyMUL.uop"),
                          {{ArtName(7), Bytes(values, 2048)},
                           {ArtName(8), Bytes(values, 2024)},
                           {ArtName(9), Bytes(values, 2048), 1},
                           {"build/artlegacymul/00020000.tga", "a static's art, not land"}});

    const std::optional<ImageFiles> files = FindImageFiles(modern.path());
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->ArtIdx.empty() && files->Art.empty());
    EXPECT_EQ(files->ArtContainer, modern.file("artLegacyMUL.uop"));
    const ImageFiles pair = *FindImageFiles(plain.path());
    for (const int id : {1, 7, 8})
        EXPECT_EQ(MakeTileImage(*files, static_cast<std::uint16_t>(id)).Pixels,
                  MakeTileImage(pair, static_cast<std::uint16_t>(id)).Pixels)
            << id;
    TileImage image;
    EXPECT_FALSE(LoadArtImage(*files, 10, image));       // no entry: no picture
    EXPECT_THROW(LoadArtImage(*files, 9, image), Error); // compressed: refused, not guessed

    TilePictureCache cache;
    ASSERT_TRUE(cache.refresh(modern.path()));
    EXPECT_EQ(cache.picture(7).Pixels, MakeTileImage(pair, 7).Pixels);

    // With both pairs of art there, art.mul is read; with neither, the folder has no pictures.
    for (const char* name : {"artidx.mul", "art.mul"})
        std::filesystem::copy_file(plain.file(name), modern.file(name));
    EXPECT_TRUE(FindImageFiles(modern.path())->ArtContainer.empty());
    for (const char* name : {"artidx.mul", "art.mul", "artLegacyMUL.uop"})
        std::filesystem::remove(modern.file(name));
    EXPECT_FALSE(FindImageFiles(modern.path()));
    EXPECT_EQ(FileFaults::OpenHandles(), 0);
}

} // namespace
} // namespace lw
