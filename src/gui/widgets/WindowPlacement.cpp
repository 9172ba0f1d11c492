#include "gui/widgets/WindowPlacement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace lw::gui {
namespace {

QPoint KeptOnScreen(QPoint at, const QSize& frame, const QRect& screen) {
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - frame.width())));
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - frame.height())));
    return at;
}

} // namespace

QPoint CentredOver(const QRect& over, const QSize& frame, const QRect& screen) {
    const QPoint at(over.x() + (over.width() - frame.width()) / 2,
                    over.y() + (over.height() - frame.height()) / 2);
    return KeptOnScreen(at, frame, screen);
}

QPoint BesideOf(const QRect& anchor, const QSize& frame, const QRect& screen) {
    int x = anchor.right() + 1 + kWindowGap;
    const int leftX = anchor.left() - kWindowGap - frame.width();
    if (x + frame.width() > screen.right() + 1 && leftX >= screen.left())
        x = leftX;
    return KeptOnScreen({x, anchor.top()}, frame, screen);
}

QRect ScreenOf(const QWidget& window) {
    return window.screen()->availableGeometry();
}

} // namespace lw::gui
