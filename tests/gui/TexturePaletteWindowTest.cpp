// The texture palette: its first showing, the group list rebuilt from the lines, the grid each
// line gives, and a click that hands the tile to the map editor.
#include "gui/TexturePaletteWindow.h"

#include "FindControl.h"
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
    template <class W> W& control(const char* name) { return Find<W>(palette(), name); }
    QComboBox& list() { return control<QComboBox>("AuswahlCombo"); }
    gui::DrawGrid& grid() { return control<gui::DrawGrid>("TextureAuswahlGrid"); }
    QTabWidget& pages() { return control<QTabWidget>("PageControl"); }
    QWidget& sheet(const char* name) { return control<QWidget>(name); }
    QStringList names() {
        QStringList list;
        for (int i = 0; i < this->list().count(); ++i)
            list << this->list().itemText(i);
        return list;
    }
    QSize gridSize() { return {grid().colCount(), grid().rowCount()}; }
    // Typed into the lines, then the keyboard focus leaves them.
    void setLines(const QString& text) {
        auto& lines = control<QPlainTextEdit>("ConfigMemo");
        lines.setPlainText(text);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&lines, &leave);
    }
    void clickCell(int col, int row) {
        pages().setCurrentWidget(&sheet("AuswahlSheet"));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().cellRect(col, row).center());
    }
};

TEST_F(PaletteTest, FirstShowingListsTheBuiltInLinesWithNothingSelected) {
    EXPECT_TRUE(palette().isVisible());
    EXPECT_EQ(pages().currentWidget(), &sheet("ConfigSheet"));
    EXPECT_EQ(names(), (QStringList{"Acker auf Rasen #1", "Weg auf Rasen #1", "Weg auf Rasen #1",
                                    "Weg auf Rasen"}));
    EXPECT_EQ(list().currentIndex(), -1);
    EXPECT_EQ(palette().selectionCellTile(0, 0), -1);

    // The tab the user left in front stays in front at the next showing.
    pages().setCurrentWidget(&sheet("AuswahlSheet"));
    program_->mapEditForm().hide();
    program_->mapEditForm().show();
    EXPECT_EQ(pages().currentWidget(), &sheet("AuswahlSheet"));
}

TEST_F(PaletteTest, ChoosingALineLaysOutItsGridAndAClickSelectsTheTileInTheEditor) {
    list().setCurrentIndex(0);
    EXPECT_EQ(gridSize(), QSize(6, 3));
    EXPECT_EQ(palette().selectionCellTile(1, 2), 0x0A);
    list().setCurrentIndex(3);
    EXPECT_EQ(gridSize(), QSize(1, 28));
    EXPECT_EQ(palette().selectionCellTile(23, 0), 0x37E);
    EXPECT_EQ(palette().selectionCellTile(24, 0), -1);

    list().setCurrentIndex(2);
    clickCell(1, 0);
    MapEditorWindow& editor = program_->mapEditForm();
    EXPECT_EQ(Find<QComboBox>(editor, "SelectDrawingModeComboBox").currentIndex(), 1);
    EXPECT_EQ(Find<QLabel>(editor, "ModePanel").text(),
              "Selected mode: Set altitude to 0 - Selected tile=01 6E");
}

TEST_F(PaletteTest, LeavingTheLinesRebuildsTheListAndKeepsTheChoiceUnlessLinesWereAdded) {
    list().setCurrentIndex(1);
    setLines("A - 2 3 1 2 3 4 5 6\nB - 0 5 1 2\nC\n");
    EXPECT_EQ(names(), (QStringList{"A", "B", "C", ""}));
    EXPECT_EQ(list().currentIndex(), 1);
    EXPECT_EQ(gridSize(), QSize(5, 1)); // a count of 0 is 1

    setLines("A - 2 3 1 2 3 4 5 6\nB - 3 3 1 2\nC\nD\nE");
    EXPECT_EQ(list().currentIndex(), -1);
    EXPECT_EQ(gridSize(), QSize(5, 1)); // the grid keeps its size

    list().setCurrentIndex(2);
    EXPECT_EQ(gridSize(), QSize(1, 1)); // no "-": no numbers
    EXPECT_EQ(palette().selectionCellTile(0, 0), -1);

    setLines("Sand-Weg - 2 2 5 6 7 8\nTest - 2 2 0x12345 0X1F $1F 0xZZ\nx");
    EXPECT_EQ(names(), (QStringList{"Sand", "Test", "x"}));
    list().setCurrentIndex(0);
    EXPECT_EQ(gridSize(), QSize(1, 1));
    EXPECT_EQ(palette().selectionCellTile(0, 0), 2);
    list().setCurrentIndex(1);
    EXPECT_EQ(palette().selectionCellTile(0, 0), 0x2345);
    EXPECT_EQ(palette().selectionCellTile(0, 1), 31);
    EXPECT_EQ(palette().selectionCellTile(1, 0), 31);
    EXPECT_EQ(palette().selectionCellTile(1, 1), -1);
}

TEST_F(PaletteTest, HugeCountsAreCappedAndACellWithoutIdSelectsNoTile) {
    setLines("Big - 100000 100000 1");
    list().setCurrentIndex(0);
    EXPECT_EQ(gridSize(), QSize(256, 256));
    EXPECT_EQ(palette().selectionCellTile(255, 255), -1);
    clickCell(1, 0);
    EXPECT_EQ(Find<QLabel>(program_->mapEditForm(), "ModePanel").text(),
              "Selected mode: Set altitude to 0 - Selected tile=FF FF");
}

} // namespace
} // namespace lw::test
