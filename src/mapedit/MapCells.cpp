#include "mapedit/MapCells.h"

#include "util/Errors.h"
#include "world/FileRoles.h"

#include <algorithm>

namespace lw {
namespace {

void CheckTile(const WorldSize& world, int x, int y) {
    CheckRange(x, 0, world.width() - 1);
    CheckRange(y, 0, world.height() - 1);
}

} // namespace

TMapCell ReadMapCell(const std::string& mapPath, int x, int y) {
    const OperationFiles files({{kMapFileRole, mapPath, FileUse::Read}}, DiscardLog);
    MapFile map = MapFile::OpenRead(mapPath);
    const WorldSize world = map.world();
    CheckTile(world, x, y);
    TMapCell cell{};
    map.read(world.mapCellOffset(x, y), &cell, sizeof cell);
    map.close();
    return cell;
}

MapCellWriter::MapCellWriter(const std::string& mapPath)
    : files_({{kMapFileRole, mapPath, FileUse::Write}}, DiscardLog),
      map_(MapFile::OpenReadWrite(mapPath)), world_(map_.world()) {}

TMapCell MapCellWriter::read(int x, int y) {
    CheckTile(world_, x, y);
    TMapCell cell{};
    map_.read(world_.mapCellOffset(x, y), &cell, sizeof cell);
    return cell;
}

void MapCellWriter::write(int x, int y, const TMapCell& cell) {
    CheckTile(world_, x, y);
    const std::uint64_t offset = world_.mapCellOffset(x, y);
    // Reading the old cell first proves the file holds it (a write there would lengthen a short
    // file) and keeps what to put back should the write fail half-way.
    TMapCell old{};
    map_.read(offset, &old, sizeof old);
    try {
        map_.write(offset, &cell, sizeof cell);
    } catch (...) {
        try {
            map_.write(offset, &old, sizeof old);
        } catch (...) {
        }
        throw;
    }
}

void WriteMapCell(const std::string& mapPath, int x, int y, const TMapCell& cell) {
    MapCellWriter map(mapPath);
    map.write(x, y, cell);
    map.close();
}

std::vector<TMapCell> ReadMapCellArea(const std::string& mapPath, int left, int top, int width,
                                      int height) {
    const OperationFiles files({{kMapFileRole, mapPath, FileUse::Read}}, DiscardLog);
    MapFile map = MapFile::OpenRead(mapPath);
    std::vector<TMapCell> cells = ReadMapCellArea(map, left, top, width, height);
    map.close();
    return cells;
}

std::vector<TMapCell> ReadMapCellArea(MapFile& map, int left, int top, int width, int height) {
    const WorldSize world = map.world();
    CheckRange(width, 0, world.width());
    CheckRange(height, 0, world.height());
    std::vector<TMapCell> cells(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (cells.empty())
        return cells;
    CheckTile(world, left, top);
    const int right = left + width - 1, bottom = top + height - 1;
    CheckTile(world, right, bottom);

    const int firstBlockY = top / kTilesPerBlockSide, lastBlockY = bottom / kTilesPerBlockSide;
    std::vector<TMapBlock> column(static_cast<std::size_t>(lastBlockY - firstBlockY + 1));
    for (int blockX = left / kTilesPerBlockSide; blockX <= right / kTilesPerBlockSide; ++blockX) {
        // Blocks of one block column follow each other in the file.
        map.read(world.mapBlockOffset(blockX, firstBlockY), column.data(),
                 column.size() * sizeof(TMapBlock));
        const int fromX = std::max(left, blockX * kTilesPerBlockSide);
        const int toX = std::min(right, blockX * kTilesPerBlockSide + kTilesPerBlockSide - 1);
        for (int y = top; y <= bottom; ++y) {
            const TMapBlock& block =
                column[static_cast<std::size_t>(y / kTilesPerBlockSide - firstBlockY)];
            for (int x = fromX; x <= toX; ++x)
                cells[static_cast<std::size_t>(y - top) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x - left)] = block.Cells[CellIndex(x, y)];
        }
    }
    return cells;
}

} // namespace lw
