// Tile pictures ready to paint into grid cells: the core's pictures, stretched to a cell size once
// and kept while the image files stay as they are on disk, and the small labels drawn over them.
#pragma once

#include "mapedit/TilePictureCache.h"

#include <QHash>
#include <QImage>
#include <QStaticText>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

class QPainter;

namespace lw::gui {

class TilePixmaps {
public:
    // Once per paint: the image folder, or nothing while the files may not be touched (every
    // picture is black then).
    void refresh(const std::optional<std::string>& folder);

    // Stretch-draws the picture of tile id onto rect: texture, else art, else black. A read error
    // propagates and nothing is drawn.
    void draw(QPainter& painter, std::uint16_t id, const QRect& rect);
    // The picture of tile id stretched to size (black without files), as draw() paints it. The
    // reference holds until the next refresh.
    const QImage& picture(std::uint16_t id, const QSize& size);

private:
    TilePictureCache cache_;
    bool filesFound_ = false;
    std::uint64_t generation_ = 0;
    std::unordered_map<std::uint64_t, QImage> stretched_; // by id and cell size
    QImage black_;
};

// Labels such as " 00 0A " or " -5 " at a cell's top-left corner, black on white. Laid out once
// per text: a repaint draws hundreds of them.
class CellLabels {
public:
    void draw(QPainter& painter, const QPoint& topLeft, const QString& text);
    // Draws the label at the cell's top-left corner only when it fits inside the cell.
    void drawIfFits(QPainter& painter, const QRect& cell, const QString& text);

private:
    const QStaticText& laidOut(QPainter& painter, const QString& text);

    QHash<QString, QStaticText> texts_;
};

} // namespace lw::gui
