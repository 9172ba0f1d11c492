// The texture palette: its first showing, the group list rebuilt from the lines, the grid each
// line gives, and a click that hands the tile to the map editor.
#include "gui/TexturePaletteWindow.h"

#include "UiFixture.h"
#include "gui/MapEditorWindow.h"
#include "gui/widgets/DrawGrid.h"
#include "support/WorldFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

namespace lw::test {
namespace {

class PaletteTest : public UiTest {
protected:
    void SetUp() override {
        start();
        program_->mapEditForm().show(); // opens the palette
        QCoreApplication::processEvents();
    }
    TexturePaletteWindow& palette() { return program_->textureAuswahlForm(); }
    QStringList names() {
        QStringList list;
        for (int i = 0; i < palette().auswahlCombo->count(); ++i)
            list << palette().auswahlCombo->itemText(i);
        return list;
    }
    QSize gridSize() {
        return {palette().textureAuswahlGrid->colCount(), palette().textureAuswahlGrid->rowCount()};
    }
    void setLines(const QString& text) {
        palette().configMemo->setPlainText(text);
        palette().configMemoExit();
    }
    void clickCell(int col, int row) {
        palette().pageControl->setCurrentWidget(palette().auswahlSheet);
        gui::DrawGrid& grid = *palette().textureAuswahlGrid;
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(col, row).center());
    }
};

TEST_F(PaletteTest, FirstShowingListsTheBuiltInLinesWithNothingSelected) {
    EXPECT_TRUE(palette().isVisible());
    EXPECT_EQ(palette().pageControl->currentWidget(), palette().configSheet);
    EXPECT_EQ(names(), (QStringList{"Acker auf Rasen #1", "Weg auf Rasen #1", "Weg auf Rasen #1",
                                    "Weg auf Rasen"}));
    EXPECT_EQ(palette().auswahlCombo->currentIndex(), -1);
    EXPECT_EQ(palette().selectionCellTile(0, 0), -1);

    // The tab the user left in front stays in front at the next showing.
    palette().pageControl->setCurrentWidget(palette().auswahlSheet);
    program_->mapEditForm().hide();
    program_->mapEditForm().show();
    EXPECT_EQ(palette().pageControl->currentWidget(), palette().auswahlSheet);
}

TEST_F(PaletteTest, ChoosingALineLaysOutItsGridAndAClickSelectsTheTileInTheEditor) {
    palette().auswahlCombo->setCurrentIndex(0);
    EXPECT_EQ(gridSize(), QSize(6, 3));
    EXPECT_EQ(palette().selectionCellTile(1, 2), 0x0A);
    palette().auswahlCombo->setCurrentIndex(3);
    EXPECT_EQ(gridSize(), QSize(1, 28));
    EXPECT_EQ(palette().selectionCellTile(23, 0), 0x37E);
    EXPECT_EQ(palette().selectionCellTile(24, 0), -1);

    palette().auswahlCombo->setCurrentIndex(2);
    clickCell(1, 0);
    MapEditorWindow& editor = program_->mapEditForm();
    EXPECT_EQ(editor.selectedTile(), 0x16E);
    EXPECT_EQ(editor.selectDrawingModeComboBox->currentIndex(), MapEditorWindow::SelectedTile);
    EXPECT_EQ(editor.statusPanels[1]->text(),
              "Selected mode: Set altitude to 0 - Selected tile=01 6E");
}

TEST_F(PaletteTest, LeavingTheLinesRebuildsTheListAndKeepsTheChoiceUnlessLinesWereAdded) {
    palette().auswahlCombo->setCurrentIndex(1);
    setLines("A - 2 3 1 2 3 4 5 6\nB - 0 5 1 2\nC\n");
    EXPECT_EQ(names(), (QStringList{"A", "B", "C", ""}));
    EXPECT_EQ(palette().auswahlCombo->currentIndex(), 1);
    EXPECT_EQ(gridSize(), QSize(5, 1)); // a count of 0 is 1

    setLines("A - 2 3 1 2 3 4 5 6\nB - 3 3 1 2\nC\nD\nE");
    EXPECT_EQ(palette().auswahlCombo->currentIndex(), -1);
    EXPECT_EQ(gridSize(), QSize(5, 1)); // the grid keeps its size

    palette().auswahlCombo->setCurrentIndex(2);
    EXPECT_EQ(gridSize(), QSize(1, 1)); // no "-": no numbers
    EXPECT_EQ(palette().selectionCellTile(0, 0), -1);

    setLines("Sand-Weg - 2 2 5 6 7 8\nTest - 2 2 0x12345 0X1F $1F 0xZZ\nx");
    EXPECT_EQ(names(), (QStringList{"Sand", "Test", "x"}));
    palette().auswahlCombo->setCurrentIndex(0);
    EXPECT_EQ(gridSize(), QSize(1, 1));
    EXPECT_EQ(palette().selectionCellTile(0, 0), 2);
    palette().auswahlCombo->setCurrentIndex(1);
    EXPECT_EQ(palette().selectionCellTile(0, 0), 0x2345);
    EXPECT_EQ(palette().selectionCellTile(0, 1), 31);
    EXPECT_EQ(palette().selectionCellTile(1, 0), 31);
    EXPECT_EQ(palette().selectionCellTile(1, 1), -1);
}

TEST_F(PaletteTest, HugeCountsAreCappedAndACellWithoutIdSelectsNoTile) {
    setLines("Big - 100000 100000 1");
    palette().auswahlCombo->setCurrentIndex(0);
    EXPECT_EQ(gridSize(), QSize(256, 256));
    EXPECT_EQ(palette().selectionCellTile(255, 255), -1);
    clickCell(1, 0);
    EXPECT_EQ(program_->mapEditForm().selectedTile(), -1);
}

} // namespace
} // namespace lw::test
