// The owner-drawn grid of the map editor, its texture column and the palette: equal cells,
// scrolled by whole cells, with a current cell. It draws only the cells in view, through a
// draw-cell callback, and reports selections (press, drag into a new cell, keyboard, or a
// new current cell set from code) through a select-cell callback.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <functional>

namespace lw::gui {

class DrawGrid final : public QAbstractScrollArea {
    Q_OBJECT
public:
    using DrawCellFn = std::function<void(QPainter& painter, int col, int row, const QRect& rect)>;
    using SelectCellFn = std::function<void(int col, int row)>;
    using ClickFn = std::function<void()>;
    using PointerMoveFn = std::function<void(const QPoint& viewportPosition)>;
    // The cells a paint is about to draw (columns x, rows y), before the first of them.
    using PreparePaintFn = std::function<void(const QRect& cells)>;
    // Draws all cells of a paint at once (columns x, rows y), the first one's top-left corner at
    // origin: for cells too small and too many to be drawn one call each.
    using DrawAreaFn =
        std::function<void(QPainter& painter, const QRect& cells, const QPoint& origin)>;

    explicit DrawGrid(QWidget* parent = nullptr);

    void setColCount(int count);
    void setRowCount(int count);
    int colCount() const { return colCount_; }
    int rowCount() const { return rowCount_; }
    void setCellSize(int width, int height);
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    void setGridLines(bool on);
    int gridLineWidth() const { return gridLines_ ? 1 : 0; }
    void setBackground(const QColor& colour);

    // The current cell. Setting a new column or row reports the selection, moves the current
    // cell and scrolls it into view; setting the value it already has does nothing at all.
    int col() const { return col_; }
    int row() const { return row_; }
    void setCol(int col);
    void setRow(int row);

    // The first column and row in view.
    int leftCol() const;
    int topRow() const;
    void setLeftCol(int col);
    void setTopRow(int row);
    // Columns and rows wholly in view (at least 1).
    int fullyVisibleCols() const;
    int fullyVisibleRows() const;

    // The cell's rectangle in viewport coordinates; empty when the cell is not in view.
    QRect cellRect(int col, int row) const;
    // The cell under a viewport position, or (-1, -1) when it is over no cell.
    QPoint cellAt(const QPoint& position) const;

    void setDrawCell(DrawCellFn draw) { drawCell_ = std::move(draw); }
    // While set, it draws the cells in place of the draw-cell callback.
    void setDrawArea(DrawAreaFn draw);
    void setSelectCell(SelectCellFn select) { selectCell_ = std::move(select); }
    const SelectCellFn& selectCellHandler() const { return selectCell_; }
    // Runs after a left click on a cell and after a keyboard move.
    void setClick(ClickFn click) { click_ = std::move(click); }
    // Runs on every pointer movement over the cells, button held or not.
    void setPointerMove(PointerMoveFn move) { pointerMove_ = std::move(move); }
    // Runs once per paint: lets the owner fetch what the cells show in one go.
    void setPreparePaint(PreparePaintFn prepare) { preparePaint_ = std::move(prepare); }

    // Repaints one cell now, if it is in view.
    void redrawCell(int col, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int pitchX() const { return cellWidth_ + gridLineWidth(); }
    int pitchY() const { return cellHeight_ + gridLineWidth(); }
    void updateScrollBars();
    void select(int col, int row);
    void moveCurrent(int col, int row);
    void scrollIntoView();

    int colCount_ = 5, rowCount_ = 5;
    int cellWidth_ = 64, cellHeight_ = 24;
    bool gridLines_ = true;
    QColor background_{Qt::white};
    int col_ = 0, row_ = 0;
    bool dragging_ = false;
    DrawCellFn drawCell_;
    DrawAreaFn drawArea_;
    SelectCellFn selectCell_;
    ClickFn click_;
    PointerMoveFn pointerMove_;
    PreparePaintFn preparePaint_;
};

} // namespace lw::gui
