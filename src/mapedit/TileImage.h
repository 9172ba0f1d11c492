// A tile picture as the image files store it: 15-bit pixels, blue in bits 0-4, green in 5-9, red
// in 10-14 (bit 15 is ignored), row by row from the top.
#pragma once

#include <cstdint>
#include <vector>

namespace lw {

struct TileImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint16_t> Pixels; // Width x Height values

    std::uint16_t pixel(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
    void resize(int width, int height) {
        Width = width;
        Height = height;
        Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    }
};

// The picture of a tile that has none: one black pixel, stretched over the cell.
inline TileImage BlackTileImage() {
    TileImage image;
    image.resize(1, 1);
    return image;
}

} // namespace lw
