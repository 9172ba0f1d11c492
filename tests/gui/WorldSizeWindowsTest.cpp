// The windows on the worlds of later clients: the facet names of the path fields and one facet per
// window, the map editor's grid, jump and paints on a 7168 x 4096 map in a container, the main
// window's spinners after a wider index is loaded, and fill/clear's whole-world borders.
#include "FindControl.h"
#include "UiFixture.h"
#include "gui/FillClearWindow.h"
#include "gui/MapEditorWindow.h"
#include "gui/widgets/DrawGrid.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/UpDown.h"
#include "mapedit/MapCells.h"
#include "support/ImageFiles.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

namespace lw::test {
namespace {

constexpr WorldSize kWide{896, 512};

class WorldSizeWindowsTest : public UiTest {
protected:
    // A wider world: statics files of facet 0 and its map in a container.
    void makeWideWorld() {
        MakeEmptyStatics(world("staidx0.mul"), world("statics0.mul"), kWide);
        MakeSparseMap(world("plain.mul"), kWide);
        MakeUopMap(world("plain.mul"), world("map0LegacyMUL.uop"));
        std::filesystem::remove(world("plain.mul"));
    }
    void touch(std::initializer_list<const char*> names) {
        for (const char* name : names)
            WriteWholeFile(world(name), "");
    }
};

TEST_F(WorldSizeWindowsTest, TheMapEditorPaintsTheEastOfAWiderMapInAContainer) {
    makeWideWorld();
    ImagePair textures, art;
    textures.setEntry(kImageIdCount - 1, {-1, -1, 0});
    art.setEntry(kImageIdCount - 1, {-1, -1, 0});
    WriteImageFolder(worldDir_.path(), textures, art);
    const std::string map = world("map0LegacyMUL.uop");
    MapEditorWindow& editor = showMapEditor(map);
    auto& grid = Find<gui::DrawGrid>(editor, "MainDrawGrid");
    auto& xJump = Find<QLineEdit>(editor, "XJumpEdit");
    auto& jump = Find<QPushButton>(editor, "JumpButton");
    EXPECT_TRUE(gui::IsGreen(Find<QLineEdit>(editor, "MapEdit")));
    EXPECT_EQ(grid.colCount(), 7168);
    EXPECT_EQ(grid.rowCount(), 4096);

    typeInto(xJump, "99999");
    jump.click();
    EXPECT_EQ(grid.col(), 7167);
    typeInto(xJump, "7000");
    typeInto(Find<QLineEdit>(editor, "YJumpEdit"), "1000");
    jump.click();
    ASSERT_EQ(QPoint(grid.col(), grid.row()), QPoint(7000, 1000));

    editor.selectTile(0x0EED);
    for (QRadioButton* radio :
         Find<QWidget>(editor, "AltitudeRadioGroup").findChildren<QRadioButton*>())
        if (radio->text() == "Set to Z")
            radio->click();
    Find<QLineEdit>(editor, "ZValueEdit").setText("-5");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(7000, 1000).center());
    const TMapCell cell = ReadMapCell(map, 7000, 1000);
    EXPECT_EQ(+cell.Tile, 0x0EED);
    EXPECT_EQ(cell.Altitude, -5);
    const QPointF at = grid.cellRect(7000, 1000).center();
    QMouseEvent move(QEvent::MouseMove, at, grid.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &move);
    EXPECT_EQ(Find<QLabel>(editor, "PointerPanel").text(),
              "X=7000 - Y=1000 - Altitude=-5 - Tile=0E ED");
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(WorldSizeWindowsTest, TheMainWindowsFieldsTakeOneFacetsNames) {
    touch({"staidx2.mul", "statics2.mul", "STATICS0.MUL", "staidx6.mul"});
    settings_.put("Mode", 0);
    start();
    QLineEdit& staIdx = mainEdit("StaIdxEdit");
    QLineEdit& statics = mainEdit("StaticsEdit");
    typeInto(staIdx, Q(world("staidx2.mul")));
    EXPECT_TRUE(gui::IsRed(staIdx)); // beside an empty field, which is facet 0's
    typeInto(statics, Q(world("statics2.mul")));
    EXPECT_TRUE(gui::IsGreen(staIdx));
    EXPECT_TRUE(gui::IsGreen(statics));
    typeInto(statics, Q(world("STATICS0.MUL")));
    EXPECT_TRUE(gui::IsRed(staIdx));
    EXPECT_TRUE(gui::IsRed(statics));
    typeInto(staIdx, Q(world("staidx6.mul")));
    EXPECT_TRUE(gui::IsRed(staIdx)); // no facet has that name
    EXPECT_TRUE(gui::IsGreen(statics));
}

TEST_F(WorldSizeWindowsTest, LoadingAWiderIndexWidensTheBlockSpinners) {
    makeWideWorld();
    WriteWholeFile(world("statics.cfg"), "");
    settings_.put("Mode", 0);
    start();
    typeInto(mainEdit("StaIdxEdit"), Q(world("staidx0.mul")));
    typeInto(mainEdit("StaticsEdit"), Q(world("statics0.mul")));
    typeInto(mainEdit("WSCEdit"), Q(world("statics.cfg")));
    const auto max = [&](const char* upDown) { return mainControl<gui::UpDown>(upDown).max(); };
    EXPECT_EQ(max("X2UpDown"), 6143);
    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    ASSERT_TRUE(program_->context().state.StaticIndexLoaded);
    EXPECT_EQ(max("X1UpDown"), 7167);
    EXPECT_EQ(max("X2UpDown"), 7167);
    EXPECT_EQ(max("Y2UpDown"), 4095);
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(WorldSizeWindowsTest, FillClearsWholeWorldBordersFollowTheMap) {
    makeWideWorld();
    touch({"map2.mul"});
    settings_.put("StaIdx0.mul", Q(world("staidx0.mul")));
    settings_.put("Statics0.mul", Q(world("statics0.mul")));
    settings_.put("Map0.mul", Q(world("map0LegacyMUL.uop")));
    settings_.put("Mode", 0);
    start();
    FillClearWindow& w = program_->fillClearForm();
    w.show();
    QCoreApplication::processEvents();
    QLineEdit& map = Find<QLineEdit>(w, "MMapEdit");
    QLineEdit& right = Find<QLineEdit>(w, "ClearAreaRightEdit");
    QLineEdit& bottom = Find<QLineEdit>(w, "ClearAreaBottomEdit");
    EXPECT_TRUE(gui::IsGreen(map));
    EXPECT_EQ(right.text(), "7168");
    EXPECT_EQ(bottom.text(), "4096");

    // A border the user set stays; a map of another facet than the statics is no valid field.
    typeInto(right, "7000");
    typeInto(map, Q(world("map2.mul")));
    EXPECT_TRUE(gui::IsRed(map));
    EXPECT_FALSE(Find<QPushButton>(w, "GoButton").isEnabled());
    MakeSparseMap(world("map0.mul"));
    typeInto(map, Q(world("map0.mul")));
    EXPECT_TRUE(gui::IsGreen(map));
    EXPECT_EQ(right.text(), "7000");
    EXPECT_EQ(bottom.text(), "4096");
}

} // namespace
} // namespace lw::test
