#include "gui/ProgressWindow.h"

#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace lw {

namespace {

// Windows draws a title without buttons when asked to. X11 window managers (openbox among them)
// take the Motif hints as what may be done, not as what to draw, and put all three buttons on
// every decorated window; there the window draws its caption itself.
#ifdef Q_OS_WIN
constexpr bool kOwnCaption = false;
constexpr Qt::WindowFlags kFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
#else
constexpr bool kOwnCaption = true;
constexpr Qt::WindowFlags kFlags = Qt::Tool | Qt::FramelessWindowHint;
#endif

constexpr int kClientWidth = 297;
constexpr int kClientHeight = 49;

} // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, kFlags), clientArea(new QWidget(this)), progressLabel(new QLabel(clientArea)),
      progressBar(new gui::ProgressBar(clientArea)) {
    setObjectName("ProgressForm");
    setWindowTitle(QStringLiteral("Progress"));
    clientArea->setObjectName("ClientArea");
    clientArea->setFixedSize(kClientWidth, kClientHeight);
    progressLabel->setObjectName("ProgressLabel");
    progressBar->setObjectName("ProgressBar");
    progressBar->setRange(0, 100);
    auto* client = new QVBoxLayout(clientArea);
    client->setContentsMargins(8, 4, 8, 6);
    client->setSpacing(4);
    client->addWidget(progressLabel);
    client->addWidget(progressBar);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    if (kOwnCaption) {
        captionBar = new QLabel(windowTitle(), this);
        captionBar->setObjectName("CaptionBar");
        captionBar->setAlignment(Qt::AlignCenter);
        captionBar->setFixedHeight(20);
        captionBar->setStyleSheet(QStringLiteral(
            "background: palette(highlight); color: palette(highlighted-text); font-weight: bold"));
        captionBar->installEventFilter(this);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->addWidget(captionBar);
        setStyleSheet(QStringLiteral("lw--ProgressWindow { border: 1px solid palette(dark) }"));
        setAttribute(Qt::WA_StyledBackground);
    } else {
        layout->setContentsMargins(0, 0, 0, 0);
    }
    layout->addWidget(clientArea);
    showModel();
    setFixedSize(layout->totalSizeHint());
}

bool ProgressWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != captionBar)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        dragOffset_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - pos();
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ProgressWindow::setStage(const QString& text) {
    model_.startStage(text.toStdString());
    showModel();
}

void ProgressWindow::setStageProgress(int value) {
    model_.setPercent(value);
    showModel();
}

void ProgressWindow::showModel() {
    progressLabel->setText(QString::fromStdString(model_.stage()));
    progressBar->setValue(model_.percent());
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
    model_.restart();
    showModel();
    // Over the middle of the main window, where the user looks while the operation runs.
    if (parentWidget() != nullptr && parentWidget()->isVisible())
        move(gui::CentredOver(parentWidget()->window()->frameGeometry(), frameGeometry().size(),
                              gui::ScreenOf(*parentWidget())));
}

} // namespace lw
