#include "mapedit/Stroke.h"

#include "mapedit/MapCells.h"

#include <utility>

namespace lw {

Stroke::Stroke(std::string mapPath) {
    step_.MapPath = std::move(mapPath);
}

std::vector<CellPos> Stroke::paint(const Brush& brush, int x, int y, std::uint32_t& seed) {
    std::vector<CellPos> written;
    if (!brush.paints())
        return written;
    MapCellWriter map(step_.MapPath);
    if (!world_)
        world_ = map.world();
    for (const CellPos cell : brush.cellsAround(x, y, *world_)) {
        const std::uint64_t key =
            static_cast<std::uint64_t>(cell.X) * static_cast<std::uint64_t>(world_->height()) +
            static_cast<std::uint64_t>(cell.Y);
        if (painted_.contains(key))
            continue;
        const TMapCell before = map.read(cell.X, cell.Y);
        const TMapCell after = brush.paintedCell(before, seed);
        map.write(cell.X, cell.Y, after);
        painted_.insert(key);
        step_.Changes.push_back({cell, before, after});
        written.push_back(cell);
    }
    map.close();
    return written;
}

PaintStep Stroke::take() {
    PaintStep taken{step_.MapPath, std::move(step_.Changes)};
    step_.Changes.clear();
    painted_.clear();
    return taken;
}

} // namespace lw
