#include "gui/OverviewWindow.h"

#include "gui/WindowContext.h"
#include "gui/models/OverviewModel.h"
#include "gui/widgets/BackgroundOverview.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/WindowPlacement.h"
#include "world/WorldOfFiles.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QVBoxLayout>

namespace lw {

// The picture, fitted into the window, with the editor's view outlined on it.
class OverviewPicture final : public QWidget {
public:
    explicit OverviewPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("OverviewPicture"));
        setMinimumSize(60, 40);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    std::function<void(CellPos)> moveTo;

    void setPicture(const QImage& picture, const WorldSize& world) {
        picture_ = picture;
        world_ = world;
        message_.clear();
        fit();
    }
    void setMessage(const QString& message) {
        message_ = message;
        update();
    }
    void clear() {
        picture_ = {};
        fitted_ = {};
        message_.clear();
        update();
    }
    void setView(const QRect& tiles) {
        view_ = tiles;
        update();
    }
    bool hasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!fitted_.isNull())
            painter.drawImage(area_.Left, area_.Top, fitted_);
        if (!message_.isEmpty()) {
            painter.setPen(Qt::white);
            painter.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                             message_);
        }
        if (fitted_.isNull() || view_.isEmpty())
            return;
        const AreaRect outline =
            OutlineOf(area_, world_, {view_.x(), view_.y(), view_.width(), view_.height()});
        const QRect box(outline.Left, outline.Top, outline.Width, outline.Height);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawRect(box.adjusted(-1, -1, 0, 0));
        painter.setPen(QPen(Qt::yellow, 1));
        painter.drawRect(box.adjusted(-1, -1, 0, 0));
    }
    void resizeEvent(QResizeEvent*) override { fit(); }
    void mousePressEvent(QMouseEvent* event) override { follow(event); }
    void mouseMoveEvent(QMouseEvent* event) override { follow(event); }

private:
    void fit() {
        area_ = FitPicture(world_, width(), height());
        fitted_ = picture_.isNull()
                      ? QImage()
                      : picture_.scaled(area_.Width, area_.Height, Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation);
        update();
    }
    void follow(QMouseEvent* event) {
        if (!(event->buttons() & Qt::LeftButton) || fitted_.isNull() || !moveTo)
            return;
        const QPoint at = event->position().toPoint();
        moveTo(TileAtPoint(area_, world_, at.x(), at.y()));
    }

    QImage picture_;
    QImage fitted_;
    WorldSize world_ = kClassicWorld;
    AreaRect area_;
    QRect view_;
    QString message_;
};

namespace {

QImage ImageOf(const RgbImage& picture) {
    return QImage(picture.Bytes.data(), picture.Width, picture.Height, picture.Width * 3,
                  QImage::Format_RGB888)
        .copy();
}

} // namespace

OverviewWindow::OverviewWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context),
      background_(new gui::BackgroundOverview(this)), picture_(new OverviewPicture(this)) {
    // It can be resized: the picture fits itself into whatever room there is.
    setWindowFlags(Qt::Window);
    setObjectName("TLWOverviewForm");
    setWindowTitle(QStringLiteral("Overview"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(366, 244);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addWidget(picture_);
    picture_->moveTo = [this](CellPos tile) { emit moveEditor(tile.X, tile.Y); };
    connect(background_, &gui::BackgroundOverview::drawn, this, [this] { pictureDrawn(); });
    connect(background_, &gui::BackgroundOverview::failed, this,
            [this](const QString& message) { pictureFailed(message); });
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::setFiles(const QString& mapPath, const QString& imageFolder) {
    if (mapPath == mapPath_ && imageFolder == imageFolder_)
        return;
    mapPath_ = mapPath;
    imageFolder_ = imageFolder;
    pictureOfFiles_ = false;
    background_->stop();
    picture_->clear();
    if (isVisible())
        refresh();
}

void OverviewWindow::setEditorView(const QRect& tiles) {
    picture_->setView(tiles);
}

void OverviewWindow::cellsWritten(const std::vector<CellPos>& cells) {
    // A picture drawn anew after the writes reads these cells anyway.
    if (!pictureOfFiles_ || drawAfterWrites_)
        return;
    runGuarded([&] { background_->redrawCells(cells); });
}

void OverviewWindow::refresh() {
    if (mapPath_.isEmpty()) {
        picture_->setMessage(QStringLiteral("No valid map"));
        return;
    }
    if (background_->drawing() || (pictureOfFiles_ && background_->isCurrent()))
        return;
    if (editorWriting_) {
        drawAfterWrites_ = true;
        return;
    }
    try {
        world_ = MapWorld(gui::Std(mapPath_));
    } catch (const std::exception& error) {
        pictureFailed(QString::fromUtf8(error.what()));
        return;
    }
    // One pixel of the picture at most per pixel of the screen: it is never shown larger.
    const QRect screen = gui::ScreenOf(*this);
    const TileRect whole = WholeMap(world_);
    if (!picture_->hasPicture())
        picture_->setMessage(QStringLiteral("Drawing the overview..."));
    pictureOfFiles_ = true;
    background_->draw({gui::Std(mapPath_), gui::Std(imageFolder_), whole,
                       FitScale(whole, screen.width(), screen.height())});
}

void OverviewWindow::editorWriting(bool writing) {
    editorWriting_ = writing;
    if (writing) {
        if (background_->drawing()) {
            background_->stop();
            drawAfterWrites_ = true;
        }
        return;
    }
    if (!drawAfterWrites_)
        return;
    drawAfterWrites_ = false;
    // Hidden, it draws when it is shown again: the picture kept is incomplete.
    if (isVisible())
        runGuarded([this] { refresh(); });
}

void OverviewWindow::pictureDrawn() {
    picture_->setPicture(ImageOf(background_->overview().image()), world_);
}

void OverviewWindow::pictureFailed(const QString& message) {
    pictureOfFiles_ = false;
    picture_->clear();
    picture_->setMessage(message);
}

void OverviewWindow::showEvent(QShowEvent* event) {
    ToolWindow::showEvent(event);
    if (event->spontaneous())
        return;
    runGuarded([this] {
        context_.settings.saveOverviewOpen(true);
        refresh();
    });
}

// The map may have been changed by another program while the user was elsewhere.
void OverviewWindow::changeEvent(QEvent* event) {
    ToolWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runGuarded([this] { refresh(); });
}

void OverviewWindow::hideEvent(QHideEvent* event) {
    ToolWindow::hideEvent(event);
    if (event->spontaneous())
        return;
    background_->stop();
    runGuarded([this] { context_.settings.saveOverviewGeometry(QRect(pos(), size())); });
}

void OverviewWindow::closeEvent(QCloseEvent* event) {
    ToolWindow::closeEvent(event);
    if (event->isAccepted())
        runGuarded([this] { context_.settings.saveOverviewOpen(false); });
}

} // namespace lw
