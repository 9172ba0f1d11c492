#include "gui/widgets/TilePixmaps.h"

#include <QPainter>

namespace lw::gui {
namespace {

std::uint64_t KeyOf(std::uint16_t id, const QSize& size) {
    return std::uint64_t{id} | std::uint64_t(static_cast<std::uint32_t>(size.width())) << 16 |
           std::uint64_t(static_cast<std::uint32_t>(size.height())) << 40;
}

QImage Stretched(const TileImage& picture, const QSize& size) {
    // The stored 5-5-5 pixels are Qt's RGB555 as they are: no conversion of our own.
    const QImage source(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width,
                        picture.Height, picture.Width * 2, QImage::Format_RGB555);
    return source.convertToFormat(QImage::Format_RGB32)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

void TilePixmaps::refresh(const std::optional<std::string>& folder) {
    filesFound_ = folder && cache_.refresh(*folder);
    if (cache_.generation() != generation_) {
        stretched_.clear();
        generation_ = cache_.generation();
    }
}

void TilePixmaps::draw(QPainter& painter, std::uint16_t id, const QRect& rect) {
    if (!filesFound_) {
        painter.fillRect(rect, Qt::black);
        return;
    }
    painter.drawImage(rect.topLeft(), picture(id, rect.size()));
}

const QImage& TilePixmaps::picture(std::uint16_t id, const QSize& size) {
    if (!filesFound_) {
        if (black_.size() != size) {
            black_ = QImage(size, QImage::Format_RGB32);
            black_.fill(Qt::black);
        }
        return black_;
    }
    const std::uint64_t key = KeyOf(id, size);
    auto found = stretched_.find(key);
    if (found == stretched_.end())
        found = stretched_.emplace(key, Stretched(cache_.picture(id), size)).first;
    return found->second;
}

const QStaticText& CellLabels::laidOut(QPainter& painter, const QString& text) {
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), painter.font());
        found = texts_.insert(text, laidOut);
    }
    return *found;
}

void CellLabels::draw(QPainter& painter, const QPoint& topLeft, const QString& text) {
    const QStaticText& label = laidOut(painter, text);
    painter.fillRect(QRectF(topLeft, label.size()), Qt::white);
    painter.setPen(Qt::black);
    painter.drawStaticText(topLeft, label);
}

void CellLabels::drawIfFits(QPainter& painter, const QRect& cell, const QString& text) {
    const QSizeF size = laidOut(painter, text).size();
    if (size.width() <= cell.width() && size.height() <= cell.height())
        draw(painter, cell.topLeft(), text);
}

} // namespace lw::gui
