#include "mapedit/TileColours.h"

#include "mapedit/TilePictures.h"

namespace lw {
namespace {

constexpr std::size_t kTileIds = 65536;

} // namespace

Rgb AverageColour(const TileImage& picture) {
    if (picture.Pixels.empty())
        return {};
    std::uint64_t r = 0, g = 0, b = 0;
    for (const std::uint16_t pixel : picture.Pixels) {
        const Rgb colour = PixelColour(pixel);
        r += colour.R;
        g += colour.G;
        b += colour.B;
    }
    const std::uint64_t n = picture.Pixels.size();
    const auto mean = [n](std::uint64_t sum) {
        return static_cast<std::uint8_t>((sum + n / 2) / n);
    };
    return {mean(r), mean(g), mean(b)};
}

TileColours::TileColours() : colours_(kTileIds), known_(kTileIds, false) {}

bool TileColours::refresh(const std::string& folder) {
    ImageFilesVersion current = CurrentImageFiles(folder);
    if (!version_ || !(*version_ == current)) {
        forget();
        version_ = std::move(current);
    }
    return version_->Files.has_value();
}

void TileColours::learn(std::uint16_t tile) {
    // Tiles of 4096 and above have no picture, nor has any tile while no files are there.
    Rgb colour;
    if (version_ && version_->Files && tile < kImageIdCount) {
        if (!art_)
            art_.emplace(*version_->Files);
        colour = AverageColour(MakeTileImage(*version_->Files, *art_, tile));
    }
    colours_[tile] = colour;
    known_[tile] = true;
}

void TileColours::forget() {
    art_.reset();
    std::fill(known_.begin(), known_.end(), false);
}

} // namespace lw
