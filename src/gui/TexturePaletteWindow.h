// The texture selection window: a palette of tile groups beside the map editor. Each line of its
// configuration text names a group and lays its tiles out as a small grid; a click on a tile makes
// it the map editor's tile to paint.
#pragma once

#include "gui/widgets/OnceErrors.h"
#include "gui/widgets/TilePixmaps.h"
#include "gui/widgets/ToolWindow.h"
#include "mapedit/PaletteLine.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QTabWidget;

namespace lw {

struct WindowContext;

namespace gui {
class DrawGrid;
} // namespace gui

class TexturePaletteWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit TexturePaletteWindow(WindowContext& context, QWidget* parent = nullptr);
    ~TexturePaletteWindow() override;

    // What the palette uses of the map editor: the image folder of its pictures (nothing while
    // the editor's paths are not valid), and the way to hand it a tile to paint.
    using PictureFolderFn = std::function<std::optional<std::string>()>;
    using SelectTileFn = std::function<void(std::int32_t tile)>;
    void setMapEditor(PictureFolderFn pictureFolder, SelectTileFn selectTile);

    // The tile of a cell of the selected line's grid, or kNoTile (also with no line selected).
    std::int32_t selectionCellTile(int row, int column) const;

protected:
    void showing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void configMemoExit();
    void auswahlGridClicked();
    std::optional<PaletteLine> selectedLine() const;
    void rebuildGrid();
    void preparePaint();
    void drawCell(QPainter& painter, int column, int row, const QRect& rect);

    QTabWidget* pageControl_;
    QWidget* auswahlSheet_;
    QWidget* configSheet_;
    gui::DrawGrid* textureAuswahlGrid_;
    QPlainTextEdit* configMemo_;
    QComboBox* auswahlCombo_;
    QCheckBox* showCheckBox_;
    WindowContext& context_;
    PictureFolderFn pictureFolder_;
    SelectTileFn selectTile_;
    std::optional<PaletteLine> paintLine_; // the selected line while a paint runs
    std::optional<std::string> paintFolder_;
    gui::TilePixmaps pixmaps_;
    gui::CellLabels labels_;
    gui::OnceErrors readErrors_;
};

} // namespace lw
