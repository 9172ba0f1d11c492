#include "gui/widgets/DrawGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace lw::gui {

DrawGrid::DrawGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

void DrawGrid::setColCount(int count) {
    colCount_ = std::max(0, count);
    col_ = std::min(col_, std::max(0, colCount_ - 1));
    updateScrollBars();
    viewport()->update();
}

void DrawGrid::setRowCount(int count) {
    rowCount_ = std::max(0, count);
    row_ = std::min(row_, std::max(0, rowCount_ - 1));
    updateScrollBars();
    viewport()->update();
}

void DrawGrid::setCellSize(int width, int height) {
    cellWidth_ = std::max(1, width);
    cellHeight_ = std::max(1, height);
    updateScrollBars();
    viewport()->update();
}

void DrawGrid::setGridLines(bool on) {
    gridLines_ = on;
    updateScrollBars();
    viewport()->update();
}

void DrawGrid::setBackground(const QColor& colour) {
    background_ = colour;
    viewport()->update();
}

void DrawGrid::setDrawArea(DrawAreaFn draw) {
    drawArea_ = std::move(draw);
    viewport()->update();
}

void DrawGrid::setCol(int col) {
    if (col == col_ || col < 0 || col >= colCount_)
        return;
    select(col, row_);
}

void DrawGrid::setRow(int row) {
    if (row == row_ || row < 0 || row >= rowCount_)
        return;
    select(col_, row);
}

int DrawGrid::leftCol() const {
    return horizontalScrollBar()->value();
}
int DrawGrid::topRow() const {
    return verticalScrollBar()->value();
}
void DrawGrid::setLeftCol(int col) {
    horizontalScrollBar()->setValue(col);
}
void DrawGrid::setTopRow(int row) {
    verticalScrollBar()->setValue(row);
}

int DrawGrid::fullyVisibleCols() const {
    return std::max(1, (viewport()->width() + gridLineWidth()) / pitchX());
}

int DrawGrid::fullyVisibleRows() const {
    return std::max(1, (viewport()->height() + gridLineWidth()) / pitchY());
}

QRect DrawGrid::cellRect(int col, int row) const {
    if (col < leftCol() || row < topRow() || col >= colCount_ || row >= rowCount_)
        return {};
    const QRect rect((col - leftCol()) * pitchX(), (row - topRow()) * pitchY(), cellWidth_,
                     cellHeight_);
    return rect.intersects(viewport()->rect()) ? rect : QRect();
}

QPoint DrawGrid::cellAt(const QPoint& position) const {
    if (position.x() < 0 || position.y() < 0)
        return {-1, -1};
    const int col = leftCol() + position.x() / pitchX();
    const int row = topRow() + position.y() / pitchY();
    if (col >= colCount_ || row >= rowCount_)
        return {-1, -1};
    return {col, row};
}

void DrawGrid::redrawCell(int col, int row) {
    const QRect rect = cellRect(col, row);
    if (!rect.isEmpty())
        viewport()->repaint(rect);
}

void DrawGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, background_);
    const int lastCol = std::min(colCount_ - 1, leftCol() + viewport()->width() / pitchX());
    const int lastRow = std::min(rowCount_ - 1, topRow() + viewport()->height() / pitchY());
    // Only the cells the dirty area touches.
    const int fromCol = leftCol() + std::max(0, dirty.left()) / pitchX();
    const int fromRow = topRow() + std::max(0, dirty.top()) / pitchY();
    const int toCol = std::min(lastCol, leftCol() + std::max(0, dirty.right()) / pitchX());
    const int toRow = std::min(lastRow, topRow() + std::max(0, dirty.bottom()) / pitchY());
    const bool anyCell = fromCol <= toCol && fromRow <= toRow;
    const QRect cells(QPoint(fromCol, fromRow), QPoint(toCol, toRow));
    if (preparePaint_ && (drawCell_ || drawArea_) && anyCell)
        preparePaint_(cells);
    if (drawArea_ && anyCell) {
        painter.save();
        painter.setClipRect(dirty);
        drawArea_(painter, cells,
                  QPoint((fromCol - leftCol()) * pitchX(), (fromRow - topRow()) * pitchY()));
        painter.restore();
    }
    for (int row = fromRow; row <= toRow && !drawArea_; ++row)
        for (int col = fromCol; col <= toCol; ++col) {
            const QRect rect = cellRect(col, row);
            if (rect.isEmpty() || !rect.intersects(dirty) || !drawCell_)
                continue;
            painter.save();
            painter.setClipRect(rect);
            drawCell_(painter, col, row, rect);
            painter.restore();
        }
    if (gridLines_) {
        painter.setPen(palette().color(QPalette::Mid));
        const int right = (lastCol - leftCol() + 1) * pitchX() - 1;
        const int bottom = (lastRow - topRow() + 1) * pitchY() - 1;
        for (int col = leftCol(); col <= lastCol; ++col) {
            const int x = (col - leftCol()) * pitchX() + cellWidth_;
            painter.drawLine(x, 0, x, bottom);
        }
        for (int row = topRow(); row <= lastRow; ++row) {
            const int y = (row - topRow()) * pitchY() + cellHeight_;
            painter.drawLine(0, y, right, y);
        }
    }
    const QRect current = cellRect(col_, row_);
    if (hasFocus() && !current.isEmpty()) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(current.adjusted(0, 0, -1, -1));
    }
}

void DrawGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DrawGrid::updateScrollBars() {
    const int visibleCols = fullyVisibleCols();
    const int visibleRows = fullyVisibleRows();
    horizontalScrollBar()->setRange(0, std::max(0, colCount_ - visibleCols));
    horizontalScrollBar()->setPageStep(visibleCols);
    verticalScrollBar()->setRange(0, std::max(0, rowCount_ - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
}

void DrawGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void DrawGrid::select(int col, int row) {
    if (selectCell_)
        selectCell_(col, row);
    moveCurrent(col, row);
}

void DrawGrid::moveCurrent(int col, int row) {
    const int oldCol = col_, oldRow = row_;
    col_ = col;
    row_ = row;
    scrollIntoView();
    redrawCell(oldCol, oldRow);
    viewport()->update(cellRect(col_, row_));
}

void DrawGrid::scrollIntoView() {
    if (col_ < leftCol())
        setLeftCol(col_);
    else if (col_ >= leftCol() + fullyVisibleCols())
        setLeftCol(col_ - fullyVisibleCols() + 1);
    if (row_ < topRow())
        setTopRow(row_);
    else if (row_ >= topRow() + fullyVisibleRows())
        setTopRow(row_ - fullyVisibleRows() + 1);
}

void DrawGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell.x() < 0)
        return;
    dragging_ = true;
    select(cell.x(), cell.y());
}

void DrawGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(); // the current cell's focus frame
}

void DrawGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void DrawGrid::mouseMoveEvent(QMouseEvent* event) {
    if (pointerMove_)
        pointerMove_(event->position().toPoint());
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell.x() >= 0 && (cell.x() != col_ || cell.y() != row_))
        select(cell.x(), cell.y());
}

void DrawGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    dragging_ = false;
    if (click_ && cellAt(event->position().toPoint()).x() >= 0)
        click_();
}

void DrawGrid::keyPressEvent(QKeyEvent* event) {
    int col = col_, row = row_;
    switch (event->key()) {
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= fullyVisibleRows();
        break;
    case Qt::Key_PageDown:
        row += fullyVisibleRows();
        break;
    case Qt::Key_Home:
        col = 0;
        break;
    case Qt::Key_End:
        col = colCount_ - 1;
        break;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    col = std::clamp(col, 0, std::max(0, colCount_ - 1));
    row = std::clamp(row, 0, std::max(0, rowCount_ - 1));
    if (col == col_ && row == row_)
        return;
    select(col, row);
    if (click_)
        click_();
}

} // namespace lw::gui
