// Where the overview's picture of the world stands in its window, which tile a point of it shows
// and where the editor's view is outlined on it.
#pragma once

#include "mapedit/CellPos.h"
#include "mapedit/MapOverview.h"

namespace lw {

// A rectangle of the window's pixels.
struct AreaRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const AreaRect&) const = default;
};

// The world's picture fitted into an area, its proportions kept and centred in it, one pixel per
// tile at the largest.
AreaRect FitPicture(const WorldSize& world, int areaWidth, int areaHeight);

// The tile a point of the area shows, taken onto the picture's nearest edge when outside it.
CellPos TileAtPoint(const AreaRect& picture, const WorldSize& world, int x, int y);

// The pixels of the area that show the tiles, at least one pixel each way.
AreaRect OutlineOf(const AreaRect& picture, const WorldSize& world, const TileRect& tiles);

} // namespace lw
