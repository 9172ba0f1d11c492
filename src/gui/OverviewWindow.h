// The overview: the whole map drawn small beside the map editor, the editor's view outlined on
// it; a click or a drag moves the editor there. The picture is drawn in the background, kept
// while the map file stays as it is, and brought up to date cell by cell after each paint.
#pragma once

#include "gui/widgets/ToolWindow.h"
#include "mapedit/CellPos.h"
#include "world/WorldSize.h"

#include <QRect>
#include <QString>
#include <vector>

namespace lw {

struct WindowContext;

namespace gui {
class BackgroundOverview;
}

class OverviewPicture;

class OverviewWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit OverviewWindow(WindowContext& context, QWidget* parent = nullptr);
    ~OverviewWindow() override;

    // The map and image folder the editor shows; an empty map while its paths are not valid.
    void setFiles(const QString& mapPath, const QString& imageFolder);
    // The tiles the editor shows, to be outlined.
    void setEditorView(const QRect& tiles);
    // Cells a paint, an undo or a redo of the editor wrote.
    void cellsWritten(const std::vector<lw::CellPos>& cells);
    // While the editor writes the map, a drawing under way stops (it holds the map for reading)
    // and none starts; the picture is drawn anew afterwards.
    void editorWriting(bool writing);

signals:
    // The user clicked or dragged onto this tile: the editor goes there.
    void moveEditor(int x, int y);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Draws the picture again unless the one kept still shows the files as they are.
    void refresh();
    void pictureDrawn();
    void pictureFailed(const QString& message);

    WindowContext& context_;
    gui::BackgroundOverview* background_;
    OverviewPicture* picture_;
    QString mapPath_;
    QString imageFolder_;
    WorldSize world_ = kClassicWorld;
    bool pictureOfFiles_ = false; // the kept picture is of mapPath_ and imageFolder_
    bool editorWriting_ = false;
    bool drawAfterWrites_ = false; // a drawing made way for the editor's writes
};

} // namespace lw
