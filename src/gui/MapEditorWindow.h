// The map editor: paints tiles and altitudes onto map0.mul cell by cell. The terrain is never held
// in memory: every cell drawn, pointed at or painted is read from the file at that moment, and
// every painted cell is written back at once. Its rules live in MapEditorModel.
#pragma once

#include "gui/models/MapEditorModel.h"
#include "gui/widgets/OnceErrors.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/TilePixmaps.h"
#include "gui/widgets/ToolWindow.h"
#include "mapedit/CellPos.h"
#include "mapedit/TileColours.h"
#include "world/Records.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <array>
#include <cstdint>
#include <functional>
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
class QSpinBox;
class QStatusBar;
class QToolButton;

namespace lw {

struct WindowContext;

namespace gui {
class DrawGrid;
class UpDown;
} // namespace gui

class MapEditorWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit MapEditorWindow(WindowContext& context, QWidget* parent = nullptr);
    ~MapEditorWindow() override;

    // The texture palette that opens and closes with this window, and the overview that its
    // "Overview" button opens. Both become windows of this one, so that they stay usable while
    // this one is shown modally.
    void setPalette(QDialog& palette);
    void setOverview(QDialog& overview);

    // The image folder the tile pictures come from, or nothing while the paths are not valid.
    std::optional<std::string> pictureFolder() const;
    // A tile chosen in the palette: it becomes the tile to paint, in "Selected tile from list".
    void selectTile(std::int32_t tile);
    // Scrolls the map so that tile (x, y) stands in the middle of the view; the current cell and
    // the map stay as they are.
    void centreOn(int x, int y);

signals:
    // The tiles in view (columns x, rows y), after every scroll, resize and zoom.
    void viewChanged(const QRect& tiles);
    // The map and the image folder, whenever the paths change; empty texts while they are not
    // both valid.
    void filesChanged(const QString& mapPath, const QString& imageFolder);
    // The cells a paint, an undo or a redo wrote.
    void cellsWritten(const std::vector<lw::CellPos>& cells);
    // True before the map is written (a stroke from press to release, a keyboard paint, an undo,
    // a redo), false after: whatever else of the program reads the map makes way meanwhile, since
    // its reading would keep the map from being written.
    void mapWriting(bool writing);

protected:
    void showEvent(QShowEvent* event) override;
    void showing() override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGrids();
    QWidget* buildBottomPanel();
    QWidget* buildAltitudePanel(QWidget* parent);
    QWidget* buildJumpPanel(QWidget* parent);
    QWidget* buildDrawSettingsPanel(QWidget* parent);
    QWidget* buildFileNamePanel();
    void buildStatusBar();
    void connectHandlers();
    void addShortcuts();
    // The palette beside this window and above it; this window makes room on the screen when
    // the palette fits on neither side. The overview, when it has no place of its own yet, goes
    // below the palette.
    void placePalette();
    void showOverview();
    void placeOverview();
    void followPaletteFrame();

    // Handler bodies without the guard: a failure ends the handler that ran them.
    // The one moment the paths are stored: after a path field changed and was validated.
    void pathsValidated(const QLineEdit& changed);
    void followMapWorld();
    void reportFiles();
    void zValueChanged();
    void zValueFinished();
    void brushChanged();
    void jump();
    void paintCell(int x, int y);
    void pickTile(const QPoint& viewportPosition);
    void trackPointer(const QPoint& viewportPosition);
    void undo();
    void redo();
    // Runs body between the two mapWriting signals, unless a stroke has sent the first already.
    void announcingWrites(const std::function<void()>& body);
    void setWriting(bool writing);
    void showWritten(const std::vector<CellPos>& cells);
    void updateStatusTexts();
    void updateUndoButtons();
    void updatePreview();
    void zoom(bool in, const QPoint& viewportPosition);
    void applyZoom();
    void reportView();
    QPoint pointerInView() const;
    std::string mapPath() const;

    void prepareMainPaint(const QRect& cells);
    void drawMainCell(QPainter& painter, int x, int y, const QRect& rect);
    void drawMainArea(QPainter& painter, const QRect& cells, const QPoint& origin);
    TMapCell paintedCell(int x, int y) const;
    void prepareTexturePaint();
    void drawTextureCell(QPainter& painter, int row, const QRect& rect);

    WindowContext& context_;
    gui::PathFields paths_;
    MapEditorModel model_;
    // The program owns both and may delete them before this window: their last events and this
    // window's destructor find them gone.
    QPointer<QDialog> palette_;
    QPointer<QDialog> overview_;
    CellPos pointer_;
    bool placingPalette_ = false;  // until this window is on the screen in its frame
    bool placingOverview_ = false; // until the overview is on the screen in its frame
    // Where placeOverview() put it last: while it stands there, it follows the palette's frame.
    std::optional<QPoint> overviewPlace_;
    bool writing_ = false; // between the two mapWriting signals
    std::optional<TilePreview> shownPreview_;

    gui::DrawGrid* mainDrawGrid_;
    gui::DrawGrid* textureDrawGrid_;
    QButtonGroup* altitudeButtons_;
    QLineEdit* zValueEdit_;
    gui::UpDown* xValueUpDown_;
    QPushButton* jumpButton_;
    QLineEdit* xJumpEdit_;
    QLineEdit* yJumpEdit_;
    QToolButton* undoButton_;
    QToolButton* redoButton_;
    QToolButton* overviewButton_;
    QComboBox* selectDrawingModeComboBox_;
    QCheckBox* showCheckBox_;
    QSpinBox* brushSizeSpinBox_;
    QLabel* tilePreview_;
    QLineEdit* mapEdit_;
    QLineEdit* uoPathEdit_;
    QStatusBar* statusBar_;
    std::array<QLabel*, 2> statusPanels_;

    // What the paint under way draws: the cells of its area, read in one go.
    bool paintReadsMap_ = false;
    QRect paintArea_;
    std::vector<TMapCell> paintCells_;
    QImage areaImage_;
    gui::TilePixmaps pixmaps_;
    TileColours colours_;
    gui::CellLabels labels_;
    gui::OnceErrors readErrors_;
};

} // namespace lw
