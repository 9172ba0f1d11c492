#include "gui/ProgressWindow.h"

#include "gui/widgets/ProgressBar.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace lw {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      progressLabel(new QLabel(QStringLiteral("Working, please wait..."), this)),
      progressBar(new gui::ProgressBar(this)) {
    setObjectName("ProgressForm");
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(297, 49);
    progressLabel->setObjectName("ProgressLabel");
    progressBar->setObjectName("ProgressBar");
    progressBar->setRange(0, 100);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(4);
    layout->addWidget(progressLabel);
    layout->addWidget(progressBar);
}

void ProgressWindow::setStage(const QString& text) {
    progressLabel->setText(text);
    progressBar->setValue(0);
}

void ProgressWindow::setStageProgress(int value) {
    progressBar->setValue(value);
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        prepareForShow();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void ProgressWindow::prepareForShow() {
    setStage(QStringLiteral("Working, please wait..."));
}

} // namespace lw
