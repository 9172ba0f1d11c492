// The small progress window of the diff operations: a stage line and a bar.
#pragma once

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

    QLabel* progressLabel;
    gui::ProgressBar* progressBar;

protected:
    void showEvent(QShowEvent* event) override;
    // The user cannot close it; the operation that showed it hides it.
    void closeEvent(QCloseEvent* event) override;

private:
    void prepareForShow();
};

} // namespace lw
