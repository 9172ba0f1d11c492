#include "mapedit/MapCells.h"

#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"
#include "world/MapFile.h"

#include <algorithm>

namespace lw {
namespace {

void CheckTile(const WorldSize& world, int x, int y) {
    CheckRange(x, 0, world.width() - 1);
    CheckRange(y, 0, world.height() - 1);
}

} // namespace

TMapCell ReadMapCell(const std::string& mapPath, int x, int y) {
    MapFile map = MapFile::OpenRead(mapPath);
    const WorldSize world = map.world();
    CheckTile(world, x, y);
    TMapCell cell{};
    map.read(world.mapCellOffset(x, y), &cell, sizeof cell);
    map.close();
    return cell;
}

void WriteMapCell(const std::string& mapPath, int x, int y, const TMapCell& cell) {
    // Under the map's lock, after what an interrupted operation left there is repaired: a cell
    // written into a map that is about to be put back would be lost.
    const OperationFiles files({{kMapFileRole, mapPath, FileUse::Write}}, DiscardLog);
    MapFile map = MapFile::OpenReadWrite(mapPath);
    const WorldSize world = map.world();
    CheckTile(world, x, y);
    const std::uint64_t offset = world.mapCellOffset(x, y);
    // Reading the old cell first proves the file holds it (a write there would lengthen a short
    // file) and keeps what to put back should the write fail half-way.
    TMapCell old{};
    map.read(offset, &old, sizeof old);
    try {
        map.write(offset, &cell, sizeof cell);
    } catch (...) {
        try {
            map.write(offset, &old, sizeof old);
        } catch (...) {
        }
        throw;
    }
    map.close();
}

std::vector<TMapCell> ReadMapCellArea(const std::string& mapPath, int left, int top, int width,
                                      int height) {
    // A look for interrupted operations first: the area never mixes cells of two moments.
    const OperationFiles files({{kMapFileRole, mapPath, FileUse::Read}}, DiscardLog);
    MapFile map = MapFile::OpenRead(mapPath);
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
    map.close();
    return cells;
}

} // namespace lw
