// The small progress window of the diff operations: a stage line and a bar.
#pragma once

#include <QWidget>

class QLabel;

namespace lw {

namespace ui {
class ProgressBar;
}

class TProgressForm final : public QWidget {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);

    void SetStage(const QString& text);
    void SetProgress(int value);

    QLabel* ProgressLabel;
    ui::ProgressBar* ProgressBar;

protected:
    void showEvent(QShowEvent* event) override;
    // The user cannot close it; the operation that showed it hides it.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
};

} // namespace lw
