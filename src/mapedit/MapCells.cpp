#include "mapedit/MapCells.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"

#include <algorithm>

namespace lw {
namespace {

void CheckTile(int x, int y) {
    CheckRange(x, 0, kWorldWidth - 1);
    CheckRange(y, 0, kWorldHeight - 1);
}

} // namespace

TMapCell ReadMapCell(const std::string& mapPath, int x, int y) {
    CheckTile(x, y);
    File map = File::OpenRead(mapPath);
    map.seek(MapCellOffset(x, y));
    TMapCell cell{};
    map.readExact(&cell, sizeof cell);
    map.close();
    return cell;
}

void WriteMapCell(const std::string& mapPath, int x, int y, const TMapCell& cell) {
    CheckTile(x, y);
    const std::uint64_t offset = MapCellOffset(x, y);
    // Under the map's lock, after what an interrupted operation left there is repaired: a cell
    // written into a map that is about to be put back would be lost.
    const OperationFiles files({{kMapFileRole, mapPath, FileUse::Write}}, DiscardLog);
    File map = File::OpenReadWrite(mapPath);
    // Reading the old cell first proves the file holds it (a write there would lengthen a short
    // file) and keeps what to put back should the write fail half-way.
    map.seek(offset);
    TMapCell old{};
    map.readExact(&old, sizeof old);
    map.seek(offset);
    try {
        map.write(&cell, sizeof cell);
    } catch (...) {
        try {
            map.seek(offset);
            map.write(&old, sizeof old);
        } catch (...) {
        }
        throw;
    }
    map.close();
}

std::vector<TMapCell> ReadMapCellArea(const std::string& mapPath, int left, int top, int width,
                                      int height) {
    CheckRange(width, 0, kWorldWidth);
    CheckRange(height, 0, kWorldHeight);
    std::vector<TMapCell> cells(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (cells.empty())
        return cells;
    CheckTile(left, top);
    const int right = left + width - 1, bottom = top + height - 1;
    CheckTile(right, bottom);

    const int firstBlockY = top / kTilesPerBlockSide, lastBlockY = bottom / kTilesPerBlockSide;
    std::vector<TMapBlock> column(static_cast<std::size_t>(lastBlockY - firstBlockY + 1));
    const OperationFiles files({{kMapFileRole, mapPath, FileUse::Read}}, DiscardLog);
    File map = File::OpenRead(mapPath);
    for (int blockX = left / kTilesPerBlockSide; blockX <= right / kTilesPerBlockSide; ++blockX) {
        // Blocks of one block column follow each other in the file.
        map.seek(MapBlockOffset(blockX, firstBlockY));
        map.readExact(column.data(), column.size() * sizeof(TMapBlock));
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
