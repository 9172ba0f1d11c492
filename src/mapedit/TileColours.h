// The colour that stands for a tile where its picture is too small to see: the average of the
// picture the editor draws for it, shaded by the cell's altitude. The overview and the editor's
// smallest cells show it.
#pragma once

#include "mapedit/ArtEntries.h"
#include "mapedit/ImageFilesVersion.h"
#include "mapedit/TileImage.h"
#include "world/Records.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw {

struct Rgb {
    std::uint8_t R = 0, G = 0, B = 0;
    bool operator==(const Rgb&) const = default;
};

// A picture's 15-bit (5-5-5) pixel as it is drawn: each channel widened to 8 bits
// (c << 3 | c >> 2, so that 0 stays 0 and 31 becomes 255), bit 15 ignored.
inline Rgb PixelColour(std::uint16_t pixel) {
    const auto widened = [](unsigned channel) {
        return static_cast<std::uint8_t>((channel << 3) | (channel >> 2));
    };
    return {widened(pixel >> 10 & 31u), widened(pixel >> 5 & 31u), widened(pixel & 31u)};
}

// The average of the picture's pixels as they are drawn (PixelColour).
Rgb AverageColour(const TileImage& picture);

// Brighter above altitude 0, darker below: each channel times (256 + altitude) / 256, at most 255.
inline Rgb ShadedColour(Rgb colour, std::int8_t altitude) {
    const int factor = 256 + altitude;
    const auto shade = [factor](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::min(255, c * factor >> 8));
    };
    return {shade(colour.R), shade(colour.G), shade(colour.B)};
}

// The average colours of the tiles, made once per tile while the image files stay as they are.
// Holds its own state only: one object per thread.
class TileColours {
public:
    TileColours();

    // Looks at the image files of folder: another folder, or a file of another size, time or
    // identity, drops every colour. False when the folder lacks image files (FindImageFiles; every
    // tile is black then).
    bool refresh(const std::string& folder);
    // The version of the files the colours come from.
    const std::optional<ImageFilesVersion>& version() const { return version_; }

    // The average colour of the tile's picture (texture, else art, else black). A read error
    // propagates and nothing is kept for the tile.
    Rgb average(std::uint16_t tile) {
        if (!known_[tile])
            learn(tile);
        return colours_[tile];
    }
    Rgb cellColour(const TMapCell& cell) { return ShadedColour(average(cell.Tile), cell.Altitude); }

private:
    void learn(std::uint16_t tile);
    void forget();

    std::optional<ImageFilesVersion> version_;
    std::optional<ArtEntries> art_; // read at the first tile after a change of the files
    std::vector<Rgb> colours_;
    std::vector<bool> known_;
};

} // namespace lw
