// Where a window opens relative to another one, in screen coordinates of window frames.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace lw::gui {

// The top-left corner of a frame of the given size centred over a rectangle, moved as little as
// needed to lie on the screen.
QPoint CentredOver(const QRect& over, const QSize& frame, const QRect& screen);

// The space left between two windows placed side by side. A window manager may still move a
// frame by a pixel or two after it is first placed; the gap keeps the two from overlapping.
inline constexpr int kWindowGap = 6;

// The top-left corner of a frame beside another frame, kWindowGap apart: to its right when it
// fits on the screen there, else to its left, else at the screen's right edge; top edges level,
// kept on the screen.
QPoint BesideOf(const QRect& anchor, const QSize& frame, const QRect& screen);

// The available area of the screen a window is on.
QRect ScreenOf(const QWidget& window);

} // namespace lw::gui
