// The map editor's undo and redo: one step per stroke, kept for as long as its owner keeps it
// (the whole run, across showings of the editor) and forgotten when another map is edited.
#pragma once

#include "mapedit/Stroke.h"

#include <string>
#include <vector>

namespace lw {

class UndoHistory {
public:
    // Forgets every step unless mapPath is the map they were painted on.
    void useMap(const std::string& mapPath);
    // A finished stroke becomes the step to undo next (on its map: see useMap); what could be
    // redone is dropped. A stroke that painted nothing is no step.
    void add(PaintStep step);
    void clear();

    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }

    // Writes back the bytes the last step's cells had before it, through the checked cell write,
    // and makes it the step to redo. Returns the cells written. Refused with an Error, nothing
    // written and the history as it was, when a cell holds something else than the step wrote
    // there (another program changed the file); a cell that already holds its old bytes is left
    // as it is. A failed write puts back what this undo had written and keeps the step.
    std::vector<CellPos> undo();
    // The same the other way: writes the step's bytes again and makes it the step to undo.
    std::vector<CellPos> redo();

private:
    std::string mapPath_;
    std::vector<PaintStep> done_;
    std::vector<PaintStep> undone_;
};

} // namespace lw
