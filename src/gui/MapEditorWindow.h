// The map editor: paints tiles and altitudes onto map0.mul cell by cell. The terrain is never held
// in memory: every cell drawn, pointed at or painted is read from the file at that moment, and
// every painted cell is written back at once.
#pragma once

#include "gui/widgets/OnceErrors.h"
#include "gui/widgets/TilePixmaps.h"
#include "gui/widgets/ToolWindow.h"
#include "world/Records.h"

#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace lw {

struct WindowContext;

namespace gui {
class DrawGrid;
class UpDown;
} // namespace gui

class MapEditorWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    // The drawing modes are the indexes of the mode list; the named tile groups follow.
    enum DrawingMode { DontDraw = 0, SelectedTile = 1, AltitudeOnly = 2, FirstGroup = 3 };
    enum AltitudeMode { AddZ = 0, SubtractZ = 1, SetToZ = 2 };

    explicit MapEditorWindow(WindowContext& context, QWidget* parent = nullptr);
    ~MapEditorWindow() override;

    // The texture palette that opens and closes with this window. It becomes a window of this
    // one, so that it stays usable while this one is shown modally.
    void setPalette(QDialog& palette);

    // True when both path fields are valid; the first time after an edit it also saves both
    // paths, so they are saved once per edit.
    bool editorFilesValid();
    // The image folder the tile pictures come from, or nothing while the paths are not valid.
    std::optional<std::string> pictureFolder();
    void updateStatusTexts();
    // A tile chosen in the palette: it becomes the tile to paint, in "Selected tile from list".
    void selectTile(std::int32_t tile);
    std::int32_t selectedTile() const { return selectedTile_; }
    QPoint pointerCell() const { return pointer_; }

    // Handlers, public so that tests can drive them as the window system would.
    void prepareForShow();
    void mapEditChanged();
    void uoPathEditChanged();
    void zValueEditChanged();
    void jumpClicked();
    void drawingModeChanged();
    void altitudeModeClicked();
    void showCheckBoxClicked();
    void textureColumnClicked();

    gui::DrawGrid* mainDrawGrid;
    QWidget* rightPanel;
    gui::DrawGrid* textureDrawGrid;
    QWidget* bottomPanel;
    QWidget* altitudePanel;
    QGroupBox* altitudeRadioGroup;
    QButtonGroup* altitudeButtons;
    QLabel* zValueLabel;
    QLineEdit* zValueEdit;
    gui::UpDown* xValueUpDown;
    QWidget* jumpPanel;
    QPushButton* jumpButton;
    QLabel* jumpXLabel;
    QLineEdit* xJumpEdit;
    QLabel* yJumpLabel;
    QLineEdit* yJumpEdit;
    QWidget* drawSettingsPanel;
    QLabel* selectDrawingModeLabel;
    QComboBox* selectDrawingModeComboBox;
    QCheckBox* showCheckBox;
    QWidget* fileNamePanel;
    QLabel* mapLabel;
    QLineEdit* mapEdit;
    QLabel* uoPathLabel;
    QLineEdit* uoPathEdit;
    QStatusBar* statusBar;
    std::array<QLabel*, 2> statusPanels;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGrids();
    QWidget* buildBottomPanel();
    QWidget* buildFileNamePanel();
    void connectHandlers();
    // The palette beside this window and above it; this window makes room on the screen when
    // the palette fits on neither side.
    void placePalette();

    // Handler bodies without the guard: a failure ends the handler that ran them.
    void mapPathChanged();
    void followMapWorld();
    void imageFolderChanged();
    void pathsEdited();
    void zValueEditFinished();
    void paintCell(int x, int y);
    void writePaintedCell(int mode, int x, int y);
    void trackPointer(const QPoint& viewportPosition);
    int zValue() const;
    std::string mapPath() const;

    void prepareMainPaint(const QRect& cells);
    void drawMainCell(QPainter& painter, int x, int y, const QRect& rect);
    TMapCell paintedCell(int x, int y) const;
    void prepareTexturePaint();
    void drawTextureCell(QPainter& painter, int row, const QRect& rect);

    WindowContext& context_;
    QDialog* palette_ = nullptr;
    std::int32_t selectedTile_ = 0;
    QPoint pointer_{0, 0};
    bool mapPathEdited_ = false;
    bool imageFolderEdited_ = false;
    bool placingPalette_ = false; // until this window is on the screen in its frame

    // What the paint under way draws: the cells of its area, read in one go.
    bool paintReadsMap_ = false;
    QRect paintArea_;
    std::vector<TMapCell> paintCells_;
    gui::TilePixmaps pixmaps_;
    gui::CellLabels labels_;
    gui::OnceErrors readErrors_;
};

} // namespace lw
