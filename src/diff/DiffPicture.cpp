#include "diff/DiffPicture.h"

#include "world/WorldOfFiles.h"

namespace lw {
namespace {

constexpr int kBlockPixels = kTilesPerBlockSide / kDiffPictureScale;
static_assert(kBlockPixels * kDiffPictureScale == kTilesPerBlockSide);

constexpr Rgb kGridGround{28, 30, 34};
constexpr Rgb kGridLine{52, 56, 62};
// A line every 64 blocks (512 tiles) on the grid.
constexpr int kGridBlocks = 64;

void Put(RgbImage& image, int x, int y, Rgb colour) {
    std::uint8_t* pixel = &image.Bytes[(static_cast<std::size_t>(y) * image.Width + x) * 3];
    pixel[0] = colour.R;
    pixel[1] = colour.G;
    pixel[2] = colour.B;
}

RgbImage Grid(const WorldSize& world) {
    RgbImage image;
    image.Width = world.BlockColumns * kBlockPixels;
    image.Height = world.BlockRows * kBlockPixels;
    image.Bytes.resize(static_cast<std::size_t>(image.Width) * image.Height * 3);
    constexpr int kLine = kGridBlocks * kBlockPixels;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            Put(image, x, y, x % kLine == 0 || y % kLine == 0 ? kGridLine : kGridGround);
    return image;
}

RgbImage Overview(const WorldSize& world, const std::string& mapPath,
                  const std::string& imageFolder, bool mapDeclared) {
    MapOverview overview;
    overview.draw({.MapPath = mapPath,
                   .ImageFolder = imageFolder,
                   .Region = WholeMap(world),
                   .Scale = kDiffPictureScale,
                   .MapDeclared = mapDeclared});
    return overview.image();
}

Rgb MarkOf(std::uint8_t change) {
    if (change == (kStaticsChange | kMapChange))
        return kBothChangedColour;
    return change == kStaticsChange ? kStaticsChangeColour : kMapChangeColour;
}

} // namespace

RgbImage DiffPicture(const DiffInfo& info, const std::string& mapPath,
                     const std::string& imageFolder, bool mapDeclared) {
    const WorldSize& world = info.World;
    const bool overview = !mapPath.empty() && !imageFolder.empty() && MapWorld(mapPath) == world;
    RgbImage image = overview ? Overview(world, mapPath, imageFolder, mapDeclared) : Grid(world);
    for (int n = 0; n < static_cast<int>(info.Changes.size()); ++n) {
        if (!info.Changes[n])
            continue;
        const int left = world.blockXOf(n) * kBlockPixels, top = world.blockYOf(n) * kBlockPixels;
        for (int y = top; y < top + kBlockPixels; ++y)
            for (int x = left; x < left + kBlockPixels; ++x)
                Put(image, x, y, MarkOf(info.Changes[n]));
    }
    return image;
}

} // namespace lw
