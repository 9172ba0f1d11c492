#include "app/Progress.h"

#include "ui/ProgressBar.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace lw {

TProgressForm::TProgressForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ProgressLabel(new QLabel(QStringLiteral("Working, please wait..."), this)),
      ProgressBar(new ui::ProgressBar(this)) {
    setObjectName("ProgressForm");
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(297, 49);
    ProgressLabel->setObjectName("ProgressLabel");
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(4);
    layout->addWidget(ProgressLabel);
    layout->addWidget(ProgressBar);
}

void TProgressForm::SetStage(const QString& text) {
    ProgressLabel->setText(text);
    ProgressBar->setValue(0);
}

void TProgressForm::SetProgress(int value) {
    ProgressBar->setValue(value);
}

void TProgressForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TProgressForm::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TProgressForm::FormShow() {
    SetStage(QStringLiteral("Working, please wait..."));
}

} // namespace lw
