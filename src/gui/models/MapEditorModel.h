// The map editor's rules, apart from its widgets: the brush the controls set, strokes and their
// undo, the status texts, the Z and jump fields, the paths to store, the zoom levels and the tile
// preview. The window shows what this says and hands it what the user did.
#pragma once

#include "gui/models/PathFieldValue.h"
#include "mapedit/Brush.h"
#include "mapedit/CellPos.h"
#include "mapedit/Stroke.h"
#include "mapedit/UndoHistory.h"
#include "world/Records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw {

// The cell sizes the editor offers, largest first; the first is the one it starts with.
struct ZoomLevel {
    int CellSide;
    bool GridLines;
    // Cells this small show their picture's average colour, shaded by altitude.
    bool AverageColours;
};
inline constexpr std::array<ZoomLevel, 5> kZoomLevels{{
    {45, true, false},
    {22, true, false},
    {11, true, false},
    {5, false, true},
    {2, false, true},
}};

// The first column (or row) in view after the cells changed from oldPitch to newPitch pixels, so
// that the cell under the pointer, pointer pixels from the view's edge, stays under it; kept
// within 0 .. lastFirst (the scroll range of the new size).
int AnchoredFirst(int first, int pointer, int oldPitch, int newPitch, int lastFirst);

// The first status panel: "X=3 - Y=2" and the cell's altitude and tile, or " - Wrong filename"
// when there is no cell to read.
std::string PointerStatusText(CellPos pointer, const std::optional<TMapCell>& cell);
// The second status panel: the altitude mode with Z, then the drawing mode.
std::string ModeStatusText(const Brush& brush);

// What the Z field shows after a change of its text: while the user types, an empty text or a
// lone '-' stays as it is and counts as 0; other text that is no integer becomes "0"; an integer
// is clamped to -128..127 and written in plain decimal.
struct ZFieldText {
    int Value = 0;
    std::optional<std::string> Rewritten; // the text to put in the field, when not the same
};
ZFieldText ReadZField(const std::string& text, bool typing);
// Leaving the field (or Enter): what is still unfinished becomes "0".
bool IsUnfinishedNumber(const std::string& text);

// The cell "Jump Now!" goes to: each text as an integer, clamped to the grid. The conversion error
// of a text that is no integer propagates.
CellPos JumpTarget(const std::string& x, const std::string& y, int columns, int rows);

// What the preview beside the mode list shows: the tile painted (a group's first tile), with its
// id on it, or nothing while no tile is painted; and every id it paints (a group's run).
struct TilePreview {
    std::optional<std::uint16_t> Tile;
    std::string Label;
    std::string Ids;
    bool operator==(const TilePreview&) const = default;
};
TilePreview PreviewOf(const Brush& brush);

class MapEditorModel {
public:
    Brush& brush() { return brush_; }
    const Brush& brush() const { return brush_; }

    // ---- The path fields, map0.mul and the image folder, as validated.
    // After a change of either field was validated: both paths while both are valid, the
    // window's moment to store them ("these paths are now valid"). A valid map path that is
    // another map than the history's forgets the history.
    std::optional<std::array<std::string, 2>>
    pathsValidated(const std::array<gui::PathFieldValue, 2>& paths);
    // Both fields valid: cells may be read and painted, pictures loaded.
    bool filesValid() const { return gui::AllValid(paths_); }

    // ---- Strokes: from the press of the button to its release, or one keyboard move.
    void beginStroke(const std::string& mapPath);
    bool strokeOpen() const { return stroke_.has_value(); }
    // One paint of the brush on (x, y) into the open stroke (opened and ended here when none is
    // open). Nothing while the brush paints nothing or the files are not valid. Returns the cells
    // written; a failure ends the call and what was written before stays in the stroke.
    std::vector<CellPos> paint(const std::string& mapPath, int x, int y, std::uint32_t& seed);
    // The stroke becomes one undo step (none when it painted nothing).
    void endStroke();

    bool canUndo() const { return filesValid() && history_.canUndo(); }
    bool canRedo() const { return filesValid() && history_.canRedo(); }
    // The cells written back; a refused step (the file was changed by another program) is an
    // Error and writes nothing. Nothing at all while the files are not valid.
    std::vector<CellPos> undo();
    std::vector<CellPos> redo();

    // ---- Zoom.
    const ZoomLevel& zoom() const { return kZoomLevels[zoom_]; }
    // One level larger or smaller; false at the end of the levels.
    bool zoomIn();
    bool zoomOut();

private:
    Brush brush_;
    std::array<gui::PathFieldValue, 2> paths_;
    std::optional<Stroke> stroke_;
    UndoHistory history_;
    std::size_t zoom_ = 0;
};

} // namespace lw
