// Single terrain cells of a map, read and written in place: the map editor holds no copy of the
// terrain, so every access goes to the file. The map may be a container (MapFile), and the world
// is the one its length gives.
#pragma once

#include "util/OperationFiles.h"
#include "world/MapFile.h"
#include "world/Records.h"
#include "world/WorldSize.h"

#include <string>
#include <vector>

namespace lw {

// The cell of tile (x, y); a RangeError outside the world. The map is declared for reading
// first, as for an area.
TMapCell ReadMapCell(const std::string& mapPath, int x, int y);

// The map open for the cell writes of one step (a paint of the brush, an undo), under one
// declaration for all of them: its lock is held and what an interrupted operation left there is
// repaired first, since a cell written into a map that is about to be put back would be lost.
class MapCellWriter {
public:
    explicit MapCellWriter(const std::string& mapPath);

    const WorldSize& world() const { return world_; }
    // The cell of tile (x, y); a RangeError outside the world.
    TMapCell read(int x, int y);
    // Writes the cell of tile (x, y). The file must already hold the cell: it never grows. A
    // failed write leaves the cell as it was. In a container the cell is written inside its
    // piece, whose data hash stays valid.
    void write(int x, int y, const TMapCell& cell);
    void close() { map_.close(); }

private:
    OperationFiles files_; // first in, last out
    MapFile map_;
    WorldSize world_;
};

// One cell written through a MapCellWriter of its own.
void WriteMapCell(const std::string& mapPath, int x, int y, const TMapCell& cell);

// The cells of the tile rectangle from (left, top), width x height tiles, row by row; one read
// per block column it touches. A RangeError unless the rectangle lies inside the world. The map
// is declared for reading first, so the cells never mix two moments of an operation.
std::vector<TMapCell> ReadMapCellArea(const std::string& mapPath, int left, int top, int width,
                                      int height);
// The same from a map open already, whose caller has declared it (for passes of many areas).
std::vector<TMapCell> ReadMapCellArea(MapFile& map, int left, int top, int width, int height);

} // namespace lw
