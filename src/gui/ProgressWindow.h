// The small progress window of the diff operations: a stage line and a bar.
#pragma once

#include "gui/models/ProgressModel.h"
#include "gui/widgets/StageDisplay.h"

#include <QWidget>

class QLabel;

namespace lw {

namespace gui {
class ProgressBar;
}

class ProgressWindow final : public QWidget, public gui::StageDisplay {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void setStage(const QString& text) override;
    void setStageProgress(int value) override;
    void showStages() override { show(); }
    void hideStages() override { hide(); }

protected:
    void showEvent(QShowEvent* event) override;
    // The user cannot close it; the operation that showed it hides it.
    void closeEvent(QCloseEvent* event) override;
    // The caption strip moves the window as a title bar would.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepareForShow();
    void showModel();

    // The window's own caption strip where the window manager's title bar cannot be trusted to
    // go without buttons (null where the native title bar is used), and the 297 x 49 client area.
    QLabel* captionBar = nullptr;
    QWidget* clientArea;
    QLabel* progressLabel;
    gui::ProgressBar* progressBar;

    ProgressModel model_;
    QPoint dragOffset_;
};

} // namespace lw
