#include "mapedit/Brush.h"

#include "fillclear/NamedTiles.h"
#include "util/Errors.h"

#include <algorithm>

namespace lw {

void Brush::chooseListEntry(int index) {
    if (index >= kFirstGroupListIndex) {
        Mode = DrawingMode::Group;
        Group = index - kFirstGroupListIndex;
        return;
    }
    Mode = index == 1   ? DrawingMode::SelectedTile
           : index == 2 ? DrawingMode::AltitudeOnly
                        : DrawingMode::DontDraw;
}

TMapCell Brush::paintedCell(TMapCell cell, std::uint32_t& seed) const {
    switch (Mode) {
    case DrawingMode::DontDraw:
        return cell;
    case DrawingMode::SelectedTile:
        cell.Tile = static_cast<std::uint16_t>(CheckRange(Tile, 0, 65535));
        break;
    case DrawingMode::AltitudeOnly:
        break;
    case DrawingMode::Group:
        cell.Tile = PickNamedTile(seed, Group);
        break;
    }
    cell.Altitude = PaintedAltitude(Altitude, cell.Altitude, Z);
    return cell;
}

std::vector<CellPos> Brush::cellsAround(int x, int y, const WorldSize& world) const {
    const int side = std::clamp(Size, kMinBrushSize, kMaxBrushSize);
    const int left = x - (side - 1) / 2, top = y - (side - 1) / 2;
    std::vector<CellPos> cells;
    cells.reserve(static_cast<std::size_t>(side * side));
    for (int row = top; row < top + side; ++row)
        for (int column = left; column < left + side; ++column)
            if (world.holdsTile(column, row))
                cells.push_back({column, row});
    return cells;
}

std::int8_t PaintedAltitude(AltitudeMode mode, int altitude, int z) {
    z = std::clamp(z, -128, 127);
    const int result = mode == AltitudeMode::AddZ        ? altitude + z
                       : mode == AltitudeMode::SubtractZ ? altitude - z
                                                         : z;
    return static_cast<std::int8_t>(std::clamp(result, -128, 127));
}

} // namespace lw
