#include "gui/models/MapEditorModel.h"

#include "fillclear/NamedTiles.h"
#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/SpacedHex.h"

#include <algorithm>

namespace lw {
namespace {

std::string Hex(std::int64_t value) {
    return IntToSpacedHex(value, 2);
}

int Clamped(long long value, int lo, int hi) {
    return static_cast<int>(std::clamp<long long>(value, lo, std::max(lo, hi)));
}

} // namespace

int AnchoredFirst(int first, int pointer, int oldPitch, int newPitch, int lastFirst) {
    pointer = std::max(0, pointer);
    const int cell = first + pointer / std::max(1, oldPitch);
    return Clamped(cell - pointer / std::max(1, newPitch), 0, lastFirst);
}

std::string PointerStatusText(CellPos pointer, const std::optional<TMapCell>& cell) {
    std::string text = "X=" + std::to_string(pointer.X) + " - Y=" + std::to_string(pointer.Y);
    if (!cell)
        return text + " - Wrong filename";
    return text + " - Altitude=" + std::to_string(int{cell->Altitude}) +
           " - Tile=" + Hex(cell->Tile);
}

std::string ModeStatusText(const Brush& brush) {
    const std::string z = std::to_string(std::clamp(brush.Z, -128, 127));
    std::string text = "Selected mode: ";
    switch (brush.Altitude) {
    case AltitudeMode::AddZ:
        text += "Add " + z + " to current altitude";
        break;
    case AltitudeMode::SubtractZ:
        text += "Subtract " + z + " from current altitude";
        break;
    case AltitudeMode::SetToZ:
        text += "Set altitude to " + z;
        break;
    }
    switch (brush.Mode) {
    case DrawingMode::DontDraw:
        return text + " - Drawing disabled";
    case DrawingMode::SelectedTile:
        return text + " - Selected tile=" + Hex(brush.Tile);
    case DrawingMode::AltitudeOnly:
        return text + " - Drawing altitude only";
    case DrawingMode::Group:
        break;
    }
    const char* name = brush.Group >= 0 && brush.Group < static_cast<int>(NamedTiles.size())
                           ? NamedTiles[static_cast<std::size_t>(brush.Group)].Name
                           : "";
    return text + " - Selected group: \"" + name + "\"";
}

bool IsUnfinishedNumber(const std::string& text) {
    return text.empty() || text == "-";
}

ZFieldText ReadZField(const std::string& text, bool typing) {
    if (typing && IsUnfinishedNumber(text))
        return {};
    std::int32_t value = 0;
    try {
        value = StrToInt(text);
    } catch (const ConvertError&) {
        return {0, text == "0" ? std::nullopt : std::optional<std::string>("0")};
    }
    value = std::clamp(value, -128, 127);
    std::string written = std::to_string(value);
    if (written == text)
        return {value, std::nullopt};
    return {value, std::move(written)};
}

CellPos JumpTarget(const std::string& x, const std::string& y, int columns, int rows) {
    const int column = Clamped(StrToInt(x), 0, columns - 1);
    const int row = Clamped(StrToInt(y), 0, rows - 1);
    return {column, row};
}

TilePreview PreviewOf(const Brush& brush) {
    switch (brush.Mode) {
    case DrawingMode::SelectedTile:
        if (brush.Tile < 0 || brush.Tile > 65535)
            return {std::nullopt, Hex(brush.Tile), Hex(brush.Tile)};
        return {static_cast<std::uint16_t>(brush.Tile), Hex(brush.Tile), Hex(brush.Tile)};
    case DrawingMode::Group: {
        if (brush.Group < 0 || brush.Group >= static_cast<int>(NamedTiles.size()))
            return {};
        const TNamedTile& group = NamedTiles[static_cast<std::size_t>(brush.Group)];
        return {group.BaseTile, Hex(group.BaseTile),
                Hex(group.BaseTile) + "-" + Hex(group.BaseTile + group.TileCount - 1)};
    }
    case DrawingMode::DontDraw:
    case DrawingMode::AltitudeOnly:
        break;
    }
    return {};
}

std::optional<std::array<std::string, 2>>
MapEditorModel::pathsValidated(const std::array<gui::PathFieldValue, 2>& paths) {
    paths_ = paths;
    if (paths_[0].valid())
        history_.useMap(paths_[0].path);
    return gui::PathsIfAllValid(paths_);
}

void MapEditorModel::beginStroke(const std::string& mapPath) {
    endStroke();
    stroke_.emplace(mapPath);
}

std::vector<CellPos> MapEditorModel::paint(const std::string& mapPath, int x, int y,
                                           std::uint32_t& seed) {
    if (!brush_.paints() || !filesValid())
        return {};
    if (stroke_)
        return stroke_->paint(brush_, x, y, seed);
    // A keyboard move: a stroke of its own.
    beginStroke(mapPath);
    try {
        std::vector<CellPos> written = stroke_->paint(brush_, x, y, seed);
        endStroke();
        return written;
    } catch (...) {
        endStroke();
        throw;
    }
}

void MapEditorModel::endStroke() {
    if (!stroke_)
        return;
    history_.add(stroke_->take());
    stroke_.reset();
}

std::vector<CellPos> MapEditorModel::undo() {
    if (!canUndo())
        return {};
    endStroke();
    return history_.undo();
}

std::vector<CellPos> MapEditorModel::redo() {
    if (!canRedo())
        return {};
    endStroke();
    return history_.redo();
}

bool MapEditorModel::zoomIn() {
    if (zoom_ == 0)
        return false;
    --zoom_;
    return true;
}

bool MapEditorModel::zoomOut() {
    if (zoom_ + 1 >= kZoomLevels.size())
        return false;
    ++zoom_;
    return true;
}

} // namespace lw
