// The owner-drawn grid: geometry, pointer-to-cell, the current cell, selection by press, drag
// and keys, and drawing only the cells in view.
#include "gui/widgets/DrawGrid.h"

#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace lw::test {
namespace {

using Cell = std::pair<int, int>;

class DrawGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setColCount(6144);
        grid.setRowCount(4096);
        grid.setCellSize(45, 45);
        grid.setFrameShape(QFrame::NoFrame);
        grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid.resize(230, 140); // 5 columns by 3 rows of 46-pixel pitch, the last partly
        grid.setSelectCell([this](int col, int row) { selected.emplace_back(col, row); });
        grid.show();
        QCoreApplication::processEvents();
    }
    QPoint centre(int col, int row) const { return grid.cellRect(col, row).center(); }

    gui::DrawGrid grid;
    std::vector<Cell> selected;
};

TEST_F(DrawGridTest, CellGeometryAndPointerToCell) {
    EXPECT_EQ(grid.cellRect(0, 0), QRect(0, 0, 45, 45));
    EXPECT_EQ(grid.cellRect(2, 1), QRect(92, 46, 45, 45));
    EXPECT_TRUE(grid.cellRect(10, 0).isEmpty()); // out of view
    EXPECT_EQ(grid.cellAt({0, 0}), QPoint(0, 0));
    EXPECT_EQ(grid.cellAt({45, 45}), QPoint(0, 0)); // the grid line belongs to its cell
    EXPECT_EQ(grid.cellAt({46, 91}), QPoint(1, 1));
    EXPECT_EQ(grid.cellAt({-1, 5}), QPoint(-1, -1));

    grid.setLeftCol(7000);
    grid.setTopRow(4090);
    EXPECT_EQ(grid.leftCol(), 6139); // scrolls no further than the last full view
    EXPECT_EQ(grid.cellAt({4 * 46 + 1, 1}), QPoint(6143, 4090));

    grid.setColCount(3);
    EXPECT_EQ(grid.leftCol(), 0);
    EXPECT_EQ(grid.cellAt({2 * 46 + 1, 1}), QPoint(2, 4090));
    EXPECT_EQ(grid.cellAt({3 * 46 + 1, 1}), QPoint(-1, -1)); // past the last column
}

TEST_F(DrawGridTest, SettingTheCurrentCellSelectsAndScrollsButTheSameValueDoesNothing) {
    grid.setCol(0);
    EXPECT_TRUE(selected.empty());
    grid.setCol(100);
    grid.setRow(50);
    EXPECT_EQ(selected, (std::vector<Cell>{{100, 0}, {100, 50}}));
    EXPECT_EQ(grid.col(), 100);
    EXPECT_EQ(grid.row(), 50);
    EXPECT_FALSE(grid.cellRect(100, 50).isEmpty());

    grid.setLeftCol(0); // scrolled away by the user
    grid.setCol(100);
    EXPECT_EQ(grid.leftCol(), 0);
    EXPECT_EQ(selected.size(), 2u);
}

TEST_F(DrawGridTest, PressDragAndKeysSelectCells) {
    QWidget* view = grid.viewport();
    QTest::mousePress(view, Qt::LeftButton, {}, centre(1, 1));
    QTest::mouseMove(view, centre(1, 1) + QPoint(3, 3)); // same cell: nothing new
    QTest::mouseMove(view, centre(2, 1));
    QTest::mouseRelease(view, Qt::LeftButton, {}, centre(2, 1));
    QTest::mousePress(view, Qt::LeftButton, {}, centre(2, 1)); // the current cell again
    QTest::mouseRelease(view, Qt::LeftButton, {}, centre(2, 1));
    std::vector<QPoint> pointer;
    grid.setPointerMove([&](const QPoint& position) { pointer.push_back(grid.cellAt(position)); });
    QTest::mouseMove(view, centre(3, 1)); // no button held: no selection, but pointer tracking
    EXPECT_EQ(selected, (std::vector<Cell>{{1, 1}, {2, 1}, {2, 1}}));
    EXPECT_EQ(pointer, std::vector<QPoint>{QPoint(3, 1)});

    selected.clear();
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(selected, (std::vector<Cell>{{3, 1}, {3, 2}, {0, 2}}));
    selected.clear();
    QTest::keyClick(&grid, Qt::Key_Left); // at the edge
    EXPECT_TRUE(selected.empty());
}

TEST_F(DrawGridTest, DrawsOnlyTheCellsInView) {
    std::set<Cell> drawn;
    grid.setDrawCell([&](QPainter&, int col, int row, const QRect& rect) {
        EXPECT_EQ(rect, grid.cellRect(col, row));
        drawn.emplace(col, row);
    });
    grid.setLeftCol(3000);
    grid.setTopRow(2000);
    grid.grab();
    std::set<Cell> expected;
    for (int col = 3000; col < 3005; ++col)
        for (int row = 2000; row < 2004; ++row)
            expected.emplace(col, row);
    EXPECT_EQ(drawn, expected);
}

} // namespace
} // namespace lw::test
