#include "mapedit/UndoHistory.h"

#include "mapedit/MapCells.h"
#include "util/Errors.h"

#include <cstring>
#include <utility>

namespace lw {
namespace {

bool SameBytes(const TMapCell& a, const TMapCell& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

enum class Direction { Back, Again };

const TMapCell& Expected(const CellChange& change, Direction direction) {
    return direction == Direction::Back ? change.After : change.Before;
}

const TMapCell& Wanted(const CellChange& change, Direction direction) {
    return direction == Direction::Back ? change.Before : change.After;
}

std::string Refusal(const CellPos& cell, Direction direction) {
    const std::string where = "the cell X=" + std::to_string(cell.X) +
                              " - Y=" + std::to_string(cell.Y) + " no longer holds what ";
    return direction == Direction::Back
               ? "Cannot undo: " + where +
                     "was painted there. Another program has changed the map file."
               : "Cannot redo: " + where +
                     "the undo wrote back. Another program has changed the map file.";
}

// All or nothing: every cell is checked before the first write, under the one lock of the map
// for checks and writes alike, and a failed write is taken back.
std::vector<CellPos> WriteStep(const PaintStep& step, Direction direction) {
    MapCellWriter map(step.MapPath);
    std::vector<const CellChange*> toWrite;
    for (const CellChange& change : step.Changes) {
        const TMapCell now = map.read(change.Cell.X, change.Cell.Y);
        if (SameBytes(now, Wanted(change, direction)))
            continue;
        if (!SameBytes(now, Expected(change, direction)))
            throw Error(Refusal(change.Cell, direction));
        toWrite.push_back(&change);
    }
    std::vector<CellPos> written;
    try {
        for (const CellChange* change : toWrite) {
            map.write(change->Cell.X, change->Cell.Y, Wanted(*change, direction));
            written.push_back(change->Cell);
        }
    } catch (...) {
        for (std::size_t i = 0; i < written.size(); ++i) {
            try {
                map.write(written[i].X, written[i].Y, Expected(*toWrite[i], direction));
            } catch (...) {
                // The step stays; the next try finds this cell already done and goes on.
            }
        }
        throw;
    }
    map.close();
    return written;
}

} // namespace

void UndoHistory::useMap(const std::string& mapPath) {
    if (mapPath != mapPath_)
        clear();
    mapPath_ = mapPath;
}

void UndoHistory::add(PaintStep step) {
    useMap(step.MapPath);
    if (step.Changes.empty())
        return;
    done_.push_back(std::move(step));
    undone_.clear();
}

void UndoHistory::clear() {
    done_.clear();
    undone_.clear();
}

std::vector<CellPos> UndoHistory::undo() {
    if (done_.empty())
        return {};
    std::vector<CellPos> written = WriteStep(done_.back(), Direction::Back);
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return written;
}

std::vector<CellPos> UndoHistory::redo() {
    if (undone_.empty())
        return {};
    std::vector<CellPos> written = WriteStep(undone_.back(), Direction::Again);
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return written;
}

} // namespace lw
