// One stroke of the map editor's brush, from the press of the mouse button to its release (or one
// keyboard move), and the record an undo takes back: every cell it painted with its bytes before
// and after.
#pragma once

#include "mapedit/Brush.h"
#include "mapedit/CellPos.h"
#include "world/Records.h"
#include "world/WorldSize.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace lw {

struct CellChange {
    CellPos Cell;
    TMapCell Before;
    TMapCell After;
};

// What one stroke changed in one map file, in the order it was painted.
struct PaintStep {
    std::string MapPath;
    std::vector<CellChange> Changes;
};

class Stroke {
public:
    explicit Stroke(std::string mapPath);

    // One paint of the brush on (x, y): each cell of its square that this stroke has not painted
    // yet is read, painted and written back through the checked cell write, one after another;
    // the square is cut to the world the map's length gives (a container's map bytes alike).
    // Returns the cells written, to be drawn again. A failure ends the call; what was written
    // before it stays in the record. A brush that does not paint touches nothing.
    std::vector<CellPos> paint(const Brush& brush, int x, int y, std::uint32_t& seed);

    bool empty() const { return step_.Changes.empty(); }
    const PaintStep& step() const { return step_; }
    // The record, for the undo history; the stroke starts again empty.
    PaintStep take();

private:
    std::optional<WorldSize> world_; // the map's, from the first paint on
    PaintStep step_;
    std::unordered_set<std::uint64_t> painted_;
};

} // namespace lw
