// The map editor's brush: which tile and altitude a paint gives a cell, and which cells one paint
// covers. The window's drawing mode list, altitude group, Z field and brush size fill it in.
#pragma once

#include "mapedit/CellPos.h"
#include "world/Records.h"
#include "world/WorldSize.h"

#include <cstdint>
#include <vector>

namespace lw {

enum class DrawingMode { DontDraw, SelectedTile, AltitudeOnly, Group };
enum class AltitudeMode { AddZ = 0, SubtractZ = 1, SetToZ = 2 };

// Entries 0-2 of the mode list are the first three modes; from here on the tile groups follow in
// the order of NamedTiles.
inline constexpr int kFirstGroupListIndex = 3;
inline constexpr int kMinBrushSize = 1;
inline constexpr int kMaxBrushSize = 9;

struct Brush {
    DrawingMode Mode = DrawingMode::DontDraw;
    // The selected tile; outside 0-65535 (a palette cell without an id) every paint of
    // DrawingMode::SelectedTile is a RangeError.
    std::int32_t Tile = 0;
    int Group = 0; // index into NamedTiles, for DrawingMode::Group
    AltitudeMode Altitude = AltitudeMode::SetToZ;
    int Z = 0;    // taken as -128 when below, 127 when above
    int Size = 1; // side of the square painted, taken as 1-9

    // Mode and Group as entry index of the mode list gives them.
    void chooseListEntry(int index);
    bool paints() const { return Mode != DrawingMode::DontDraw; }

    // cell as this brush paints it: the tile by the mode (a group draws one pick from seed), then
    // the altitude by the altitude mode, in every mode that paints. DontDraw gives cell as it is.
    // A RangeError (nothing drawn from seed then) for a selected tile outside 0-65535 or a group
    // outside the table.
    TMapCell paintedCell(TMapCell cell, std::uint32_t& seed) const;

    // The square of Size x Size cells on (x, y), cut to the map's world: x and y are its middle
    // cell, and of an even side the one left of and above its middle. Row by row from the top, each
    // row from the left: the order the cells are painted in, and so the order of the group picks.
    std::vector<CellPos> cellsAround(int x, int y, const WorldSize& world = kClassicWorld) const;
};

// The altitude arithmetic: altitude + z, altitude - z, or z, with z taken as -128..127 and the
// result clamped to -128..127.
std::int8_t PaintedAltitude(AltitudeMode mode, int altitude, int z);

} // namespace lw
