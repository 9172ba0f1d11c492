// Single terrain cells of a map, read and written in place: the map editor holds no copy of the
// terrain, so every access goes to the file. The map may be a container (MapFile), and the world
// is the one its length gives.
#pragma once

#include "world/Records.h"

#include <string>
#include <vector>

namespace lw {

// The cell of tile (x, y); a RangeError outside the world.
TMapCell ReadMapCell(const std::string& mapPath, int x, int y);

// Writes the cell of tile (x, y). The file must already hold the cell: it never grows. A failed
// write leaves the cell as it was. In a container the cell is written inside its piece, whose
// data hash stays valid.
void WriteMapCell(const std::string& mapPath, int x, int y, const TMapCell& cell);

// The cells of the tile rectangle from (left, top), width x height tiles, row by row; one read
// per block column it touches. A RangeError unless the rectangle lies inside the world.
std::vector<TMapCell> ReadMapCellArea(const std::string& mapPath, int left, int top, int width,
                                      int height);

} // namespace lw
