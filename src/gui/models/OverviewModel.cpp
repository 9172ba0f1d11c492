#include "gui/models/OverviewModel.h"

#include <algorithm>
#include <cstdint>

namespace lw {
namespace {

// a * b / c without overflow, rounded down.
int Scaled(int a, int b, int c) {
    return static_cast<int>(static_cast<std::int64_t>(a) * b / std::max(1, c));
}

} // namespace

AreaRect FitPicture(const WorldSize& world, int areaWidth, int areaHeight) {
    areaWidth = std::max(1, areaWidth);
    areaHeight = std::max(1, areaHeight);
    const int roomWidth = std::min(areaWidth, world.width());
    const int roomHeight = std::min(areaHeight, world.height());
    int width = roomWidth, height = Scaled(roomWidth, world.height(), world.width());
    if (height > roomHeight) {
        height = roomHeight;
        width = Scaled(roomHeight, world.width(), world.height());
    }
    width = std::max(1, width);
    height = std::max(1, height);
    return {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
}

CellPos TileAtPoint(const AreaRect& picture, const WorldSize& world, int x, int y) {
    const int px = std::clamp(x - picture.Left, 0, picture.Width - 1);
    const int py = std::clamp(y - picture.Top, 0, picture.Height - 1);
    return {std::min(world.width() - 1, Scaled(px, world.width(), picture.Width)),
            std::min(world.height() - 1, Scaled(py, world.height(), picture.Height))};
}

AreaRect OutlineOf(const AreaRect& picture, const WorldSize& world, const TileRect& tiles) {
    const int left = picture.Left + Scaled(tiles.Left, picture.Width, world.width());
    const int top = picture.Top + Scaled(tiles.Top, picture.Height, world.height());
    const int right = picture.Left + Scaled(tiles.Left + tiles.Width, picture.Width, world.width());
    const int bottom =
        picture.Top + Scaled(tiles.Top + tiles.Height, picture.Height, world.height());
    return {left, top, std::max(1, right - left), std::max(1, bottom - top)};
}

} // namespace lw
