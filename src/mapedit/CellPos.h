// One tile of the map, as the map editor, its strokes and the overview name it.
#pragma once

namespace lw {

// Column X, row Y.
struct CellPos {
    int X = 0;
    int Y = 0;
    bool operator==(const CellPos&) const = default;
};

} // namespace lw
