#include "mapedit/TilePictures.h"

#include "util/Errors.h"
#include "util/File.h"

#include <array>
#include <vector>

namespace lw {
namespace {

// Art entries as the client writes them hold 20 unused bytes behind the 1012 values; other tools
// of the field write the 2024 bytes of the values alone.
constexpr std::int32_t kClientArtLength = 2048;
constexpr std::int32_t kBareArtLength = kArtPixelCount * 2;

int TextureSide(std::int32_t length) {
    switch (length) {
    case 64 * 64 * 2:
        return 64;
    case 128 * 128 * 2:
        return 128;
    default:
        return 0;
    }
}

void ReadData(const std::string& path, std::int32_t offset, void* buffer, std::size_t n) {
    // A negative offset cannot point into the file.
    if (offset < 0)
        throw IoError(kIoReadPastEnd);
    File data = File::OpenRead(path);
    data.seek(static_cast<std::uint64_t>(offset));
    data.readExact(buffer, n);
    data.close();
}

} // namespace

bool LoadTextureImage(const ImageFiles& files, std::uint16_t id, TileImage& image) {
    if (id >= kImageIdCount)
        return false;
    const ImageIndexEntry entry = ReadImageIndexEntry(files.TexIdx, id);
    const int side = TextureSide(entry.Length);
    if (side == 0)
        return false;
    TileImage texture;
    texture.resize(side, side);
    ReadData(files.TexMaps, entry.Offset, texture.Pixels.data(), texture.Pixels.size() * 2);
    image = std::move(texture);
    return true;
}

bool LoadArtImage(const ImageFiles& files, std::uint16_t id, TileImage& image) {
    if (id >= kImageIdCount)
        return false;
    return LoadArtImage(ArtEntries(files), id, image);
}

bool LoadArtImage(const ArtEntries& art, std::uint16_t id, TileImage& image) {
    if (id >= kImageIdCount)
        return false;
    const ImageIndexEntry entry = art.entry(id);
    if (entry.Offset == -1)
        return false;
    std::size_t readLength;
    if (entry.Length == kClientArtLength)
        readLength = kClientArtLength - 4;
    else if (entry.Length == kBareArtLength)
        readLength = kBareArtLength;
    else
        return false;
    std::array<std::uint16_t, kClientArtLength / 2> data{};
    ReadData(art.dataPath(), entry.Offset, data.data(), readLength);
    image = RotateArt(std::span<const std::uint16_t, kArtPixelCount>(data.data(), kArtPixelCount));
    return true;
}

TileImage MakeTileImage(const ImageFiles& files, std::uint16_t id) {
    TileImage image = BlackTileImage();
    if (!LoadTextureImage(files, id, image))
        LoadArtImage(files, id, image);
    return image;
}

TileImage MakeTileImage(const ImageFiles& files, const ArtEntries& art, std::uint16_t id) {
    TileImage image = BlackTileImage();
    if (!LoadTextureImage(files, id, image))
        LoadArtImage(art, id, image);
    return image;
}

TileImage RotateArt(std::span<const std::uint16_t, kArtPixelCount> values) {
    TileImage image;
    image.resize(kArtSide, kArtSide);
    const auto at = [&](int x, int y) -> std::uint16_t& {
        return image.Pixels[static_cast<std::size_t>(y * kArtSide + x)];
    };
    // Run r lies on diagonal x + y = 2r + 1, walked from its bottom-left end to its top-right end.
    std::size_t next = 0;
    for (int d = 1; d < 2 * kArtSide - 1; d += 2) {
        const int firstX = d < kArtSide ? 0 : d - (kArtSide - 1);
        const int lastX = d < kArtSide ? d : kArtSide - 1;
        for (int x = firstX; x <= lastX; ++x)
            at(x, d - x) = values[next++];
    }
    // The cells between the diagonals repeat a neighbour: the one above, on the top row the one on
    // the left; (0, 0) has neither and stays black.
    for (int y = 0; y < kArtSide; ++y)
        for (int x = (y % 2 == 0 ? 0 : 1); x < kArtSide; x += 2) {
            if (y > 0)
                at(x, y) = at(x, y - 1);
            else if (x > 0)
                at(x, y) = at(x - 1, y);
        }
    return image;
}

} // namespace lw
