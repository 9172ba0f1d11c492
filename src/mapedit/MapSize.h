// The size of the map being edited, in blocks of 8 x 8 tiles: the classic world unless the caller
// knows the map to be another.
#pragma once

#include "world/Records.h"

namespace lw {

struct MapSize {
    int BlockColumns = kBlockColumns;
    int BlockRows = kBlockRows;

    int width() const { return BlockColumns * kTilesPerBlockSide; }
    int height() const { return BlockRows * kTilesPerBlockSide; }
    bool holds(int x, int y) const { return x >= 0 && x < width() && y >= 0 && y < height(); }
};

// One tile of the map: column X, row Y.
struct CellPos {
    int X = 0;
    int Y = 0;
    bool operator==(const CellPos&) const = default;
};

} // namespace lw
