// The overview beside the map editor: opened by its button, drawn in the background, the editor's
// view outlined and followed, a click that moves the editor, a paint that shows in it, and its
// open state and place remembered in the settings.
#include "gui/OverviewWindow.h"

#include "FindControl.h"
#include "UiFixture.h"
#include "gui/MapEditorWindow.h"
#include "gui/widgets/DrawGrid.h"
#include "mapedit/MapCells.h"
#include "support/ImageFiles.h"
#include "support/WorldFiles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace lw::test {
namespace {

// The green texture of tile 5 on the map's top-left 512 x 512 tiles; the rest has no picture.
class OverviewTest : public UiTest {
protected:
    void SetUp() override {
        MakeSparseMap(world("map0.mul"));
        std::vector<TMapBlock> column(64);
        for (TMapBlock& block : column)
            for (TMapCell& cell : block.Cells)
                cell = {5, 0};
        {
            File map = File::OpenReadWrite(world("map0.mul"));
            for (int blockX = 0; blockX < 64; ++blockX) {
                map.seek(kClassicWorld.mapBlockOffset(blockX, 0));
                map.write(column.data(), column.size() * sizeof(TMapBlock));
            }
            map.close();
        }
        ImagePair textures, art;
        textures.add(5, std::vector<std::uint16_t>(64 * 64, 0x03E0));
        textures.setEntry(kImageIdCount - 1, {-1, -1, 0});
        art.setEntry(kImageIdCount - 1, {-1, -1, 0});
        WriteImageFolder(worldDir_.path(), textures, art);
        showMapEditor(world("map0.mul"));
    }
    MapEditorWindow& editor() { return program_->mapEditForm(); }
    OverviewWindow& overview() { return program_->overviewForm(); }
    gui::DrawGrid& grid() { return Find<gui::DrawGrid>(editor(), "MainDrawGrid"); }
    QWidget& picture() { return Find<QWidget>(overview(), "OverviewPicture"); }
    QImage shot() { return picture().grab().toImage(); }
    bool isGreen(QRgb pixel) { return qGreen(pixel) > 100 && qRed(pixel) < 50; }
    // Opens the overview and waits for its picture: the top-left corner of the map is green.
    void open() {
        QTest::mouseClick(&Find<QAbstractButton>(editor(), "OverviewButton"), Qt::LeftButton);
        ASSERT_TRUE(overview().isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return isGreen(shot().pixel(2, 2)); }, 5000));
    }
};

TEST_F(OverviewTest, ItAppearsDrawnInTheBackgroundAndFollowsTheEditor) {
    QElapsedTimer timer;
    timer.start();
    open();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_FALSE(isGreen(shot().pixel(picture().width() - 3, picture().height() - 3)));

    // The outline follows the editor's scrolling.
    const auto yellowAt = [&](int x, int y) {
        return shot().pixel(x, y) == QColor(Qt::yellow).rgb();
    };
    grid().setLeftCol(3072);
    grid().setTopRow(2048);
    const int w = picture().width(), h = picture().height();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (int x = w / 2 - 3; x <= w / 2 + 3; ++x)
                for (int y = h / 2 - 3; y <= h / 2 + 3; ++y)
                    if (yellowAt(x, y))
                        return true;
            return false;
        },
        1000));

    // A click moves the editor there; the current cell stays.
    const QPoint current(grid().col(), grid().row());
    QTest::mouseClick(&picture(), Qt::LeftButton, {}, {w / 4, h / 4});
    const int x = grid().leftCol() + grid().fullyVisibleCols() / 2;
    const int y = grid().topRow() + grid().fullyVisibleRows() / 2;
    EXPECT_NEAR(x, 6144 / 4, 6144 / w + 1);
    EXPECT_NEAR(y, 4096 / 4, 4096 / h + 1);
    EXPECT_EQ(QPoint(grid().col(), grid().row()), current);

    // A paint shows at once: a 9 x 9 green square in the middle of the view (away from the
    // outline).
    editor().selectTile(5);
    Find<QSpinBox>(editor(), "BrushSizeSpinBox").setValue(9);
    const QPoint middle(x, y);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                      grid().cellRect(middle.x(), middle.y()).center());
    ASSERT_EQ(+ReadMapCell(world("map0.mul"), middle.x() + 4, middle.y() + 4).Tile, 5);
    const QPoint pixel(middle.x() * w / 6144, middle.y() * h / 4096);
    EXPECT_TRUE(QTest::qWaitFor([&] { return qGreen(shot().pixel(pixel)) > 0; }, 1000));
    EXPECT_TRUE(dialogs_.errors().empty());
}

// The drawing reads the map under its own declaration; a stroke, an undo and a redo while it runs
// still write (the drawing makes way for them), and the picture drawn afterwards shows them.
TEST_F(OverviewTest, PaintsAndUndoWhileItIsDrawnGoAheadAndShowInIt) {
    QTest::mouseClick(&Find<QAbstractButton>(editor(), "OverviewButton"), Qt::LeftButton);
    Find<QComboBox>(editor(), "SelectDrawingModeComboBox").setCurrentIndex(2); // "Altitude only"
    Find<QLineEdit>(editor(), "ZValueEdit").setText("5");
    const QPoint cell = grid().cellRect(3, 3).center();
    QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseMove(grid().viewport(), grid().cellRect(4, 3).center());
    QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, grid().cellRect(4, 3).center());
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 4, 3).Altitude, 5);
    QTest::keyClick(&editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 4, 3).Altitude, 0);
    QTest::keyClick(&editor(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 4, 3).Altitude, 5);
    for (const QString& error : dialogs_.errors())
        ADD_FAILURE() << error.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return isGreen(shot().pixel(2, 2)); }, 5000));
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(OverviewTest, ItsOpenStateAndPlaceAreRemembered) {
    open();
    EXPECT_EQ(settings_.get("OverviewOpen").toInt(), 1);
    overview().resize(300, 200);
    // Closed with the editor, it opens with it again.
    editor().hide();
    EXPECT_FALSE(overview().isVisible());
    const QStringList place = settings_.get("OverviewGeometry").toString().split(',');
    ASSERT_EQ(place.size(), 4);
    EXPECT_EQ(place[2] + "x" + place[3], "300x200");
    editor().show();
    EXPECT_TRUE(overview().isVisible());
    EXPECT_EQ(overview().size(), QSize(300, 200));

    // Closed by the user, it stays closed.
    overview().close();
    EXPECT_EQ(settings_.get("OverviewOpen").toInt(), 0);
    editor().hide();
    editor().show();
    EXPECT_FALSE(overview().isVisible());
}

} // namespace
} // namespace lw::test
