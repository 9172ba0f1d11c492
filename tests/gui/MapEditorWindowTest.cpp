// The map editor driven as a user would: painting in every drawing mode with every altitude mode
// (the bytes checked in the file), the status texts, the Z field, jumping, the path fields and
// their settings, invalid paths, read and write failures, and the palette beside it.
#include "gui/MapEditorWindow.h"

#include "FindControl.h"
#include "UiFixture.h"
#include "gui/TexturePaletteWindow.h"
#include "gui/widgets/DrawGrid.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/UpDown.h"
#include "mapedit/MapCells.h"
#include "support/ImageFiles.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

namespace lw::test {
namespace {

constexpr std::uint16_t kGreen = 0x03E0; // texture 5, all green
// Entries of the drawing mode list.
constexpr int kDontDraw = 0, kSelectedTile = 1, kAltitudeOnly = 2;
constexpr std::uint16_t kRed = 0x7C00;

// The three bytes of cell (x, y), located by hand: block (x div 8) * 512 + (y div 8) of 196
// bytes, a 4-byte header, then row-major cells of 3 bytes.
std::array<unsigned char, 3> RawCell(const std::string& map, int x, int y) {
    const long long block = (x / 8) * 512LL + y / 8;
    File file = File::OpenRead(map);
    file.seek(static_cast<std::uint64_t>(block * 196 + 4 + ((y % 8) * 8 + x % 8) * 3));
    std::array<unsigned char, 3> bytes{};
    file.readExact(bytes.data(), bytes.size());
    file.close();
    return bytes;
}

std::array<unsigned char, 3> Bytes(std::uint16_t tile, int altitude) {
    return {static_cast<unsigned char>(tile & 0xFF), static_cast<unsigned char>(tile >> 8),
            static_cast<unsigned char>(static_cast<std::int8_t>(altitude))};
}

void WriteImages(const std::string& folder, std::uint16_t colourOf5) {
    ImagePair textures, art;
    textures.add(5, std::vector<std::uint16_t>(64 * 64, colourOf5));
    textures.setEntry(kImageIdCount - 1, {-1, -1, 0});
    art.setEntry(kImageIdCount - 1, {-1, -1, 0});
    WriteImageFolder(folder, textures, art);
}

class MapEditorTest : public UiTest {
protected:
    void SetUp() override {
        MakeSparseMap(world("map0.mul"));
        WriteImages(worldDir_.path(), kGreen);
        showMapEditor(world("map0.mul"));
    }

    MapEditorWindow& editor() { return program_->mapEditForm(); }
    template <class W> W& control(const char* name) { return Find<W>(editor(), name); }
    QLineEdit& field(const char* name) { return control<QLineEdit>(name); }
    gui::DrawGrid& grid() { return control<gui::DrawGrid>("MainDrawGrid"); }
    QComboBox& modes() { return control<QComboBox>("SelectDrawingModeComboBox"); }
    QAbstractButton& button(const char* name) { return control<QAbstractButton>(name); }
    QAbstractButton& altitudeButton(AltitudeMode mode) {
        const char* const texts[] = {"Add Z", "Subtract Z", "Set to Z"};
        for (QRadioButton* radio :
             control<QWidget>("AltitudeRadioGroup").findChildren<QRadioButton*>())
            if (radio->text() == QLatin1String(texts[static_cast<int>(mode)]))
                return *radio;
        throw std::runtime_error("no altitude button");
    }
    QPoint centre(int x, int y) { return grid().cellRect(x, y).center(); }
    void put(int x, int y, std::uint16_t tile, int altitude) {
        WriteMapCell(world("map0.mul"), x, y, {tile, static_cast<std::int8_t>(altitude)});
    }
    void click(int x, int y) {
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, centre(x, y));
    }
    // Straight to the grid: a synthetic move may be taken for a window-system duplicate.
    void pointAt(int x, int y) {
        const QPointF at = centre(x, y);
        QMouseEvent move(QEvent::MouseMove, at, grid().viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid().viewport(), &move);
    }
    void chooseMode(int drawing, AltitudeMode altitude, const QString& z) {
        modes().setCurrentIndex(drawing);
        altitudeButton(altitude).click();
        field("ZValueEdit").setText(z); // pasted: typing "-" alone would give "0"
    }
    QString panel(int index) {
        return control<QLabel>(index == 0 ? "PointerPanel" : "ModePanel").text();
    }
    QRgb pixelOf(int x, int y) {
        const QImage shot = grid().viewport()->grab().toImage();
        return shot.pixel(grid().cellRect(x, y).bottomRight() - QPoint(4, 4));
    }
};

TEST_F(MapEditorTest, PaintsEveryDrawingModeWithEveryAltitudeMode) {
    using M = AltitudeMode;
    const int water = kFirstGroupListIndex + 13;
    struct Case {
        int drawing;
        AltitudeMode altitudeMode;
        const char* z;
        std::uint16_t tileBefore;
        int altitudeBefore;
        std::uint16_t tileAfter; // 0xFFFF: any tile of "Random water"
        int altitudeAfter;
    } const cases[] = {
        {kSelectedTile, M::AddZ, "100", 0x44, 50, 0x16F, 127},
        {kSelectedTile, M::SubtractZ, "100", 0x44, -50, 0x16F, -128},
        {kSelectedTile, M::SetToZ, "0", 0x44, 33, 0x16F, 0},
        {kAltitudeOnly, M::SetToZ, "-20", 0x44, 9, 0x44, -20},
        {kAltitudeOnly, M::AddZ, "5", 0x44, -3, 0x44, 2},
        {kAltitudeOnly, M::SubtractZ, "5", 0x44, -3, 0x44, -8},
        {water, M::AddZ, "1", 0x44, 126, 0xFFFF, 127},
        {water, M::SubtractZ, "1", 0x44, 0, 0xFFFF, -1},
        {water, M::SetToZ, "7", 0x44, 0, 0xFFFF, 7},
        {kDontDraw, M::SetToZ, "7", 0x44, 3, 0x44, 3},
    };
    editor().selectTile(0x16F);
    int x = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(x);
        put(x, 2, c.tileBefore, c.altitudeBefore);
        chooseMode(c.drawing, c.altitudeMode, QString::fromLatin1(c.z));
        click(x, 2);
        const std::array<unsigned char, 3> bytes = RawCell(world("map0.mul"), x, 2);
        if (c.tileAfter == 0xFFFF) {
            const int tile = bytes[0] | bytes[1] << 8;
            EXPECT_TRUE(tile >= 0xA8 && tile <= 0xAB) << tile;
            EXPECT_EQ(static_cast<std::int8_t>(bytes[2]), c.altitudeAfter);
        } else {
            EXPECT_EQ(bytes, Bytes(c.tileAfter, c.altitudeAfter));
        }
        ++x;
    }
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(MapEditorTest, PressDragAndKeysPaintEachCellOnceAndTheCurrentCellAgainOnAClick) {
    chooseMode(kAltitudeOnly, AltitudeMode::AddZ, "1");
    QWidget* view = grid().viewport();
    QTest::mousePress(view, Qt::LeftButton, {}, centre(1, 1));
    QTest::mouseMove(view, centre(1, 1) + QPoint(3, 3));
    QTest::mouseMove(view, centre(2, 1));
    QTest::mouseMove(view, centre(3, 1));
    QTest::mouseRelease(view, Qt::LeftButton, {}, centre(3, 1));
    click(3, 1);
    QTest::keyClick(&grid(), Qt::Key_Down);
    const std::string map = world("map0.mul");
    EXPECT_EQ(ReadMapCell(map, 1, 1).Altitude, 1);
    EXPECT_EQ(ReadMapCell(map, 2, 1).Altitude, 1);
    EXPECT_EQ(ReadMapCell(map, 3, 1).Altitude, 2);
    EXPECT_EQ(ReadMapCell(map, 3, 2).Altitude, 1);
    EXPECT_EQ(ReadMapCell(map, 0, 0).Altitude, 0);
}

TEST_F(MapEditorTest, StatusTextsFollowThePointerAndTheModes) {
    put(3, 2, 0x0003, -5);
    pointAt(3, 2);
    EXPECT_EQ(panel(0), "X=3 - Y=2 - Altitude=-5 - Tile=00 03");
    EXPECT_EQ(panel(1), "Selected mode: Set altitude to 0 - Drawing disabled");

    editor().selectTile(0x16F);
    chooseMode(kSelectedTile, AltitudeMode::AddZ, "5");
    EXPECT_EQ(panel(1), "Selected mode: Add 5 to current altitude - Selected tile=01 6F");
    chooseMode(kAltitudeOnly, AltitudeMode::SubtractZ, "7");
    EXPECT_EQ(panel(1), "Selected mode: Subtract 7 from current altitude - Drawing altitude only");
    chooseMode(kFirstGroupListIndex + 6, AltitudeMode::SetToZ, "-3");
    EXPECT_EQ(panel(1), "Selected mode: Set altitude to -3 - Selected group: \"Random grass\"");

    // The status texts change at the next pointer movement, not by painting.
    click(3, 2);
    EXPECT_EQ(panel(0), "X=3 - Y=2 - Altitude=-5 - Tile=00 03");
    pointAt(4, 2);
    pointAt(3, 2);
    EXPECT_TRUE(panel(0).startsWith("X=3 - Y=2 - Altitude=-3 - Tile=00 0"))
        << panel(0).toStdString();
}

TEST_F(MapEditorTest, ZFieldKeepsAnIntegerWithinTheAltitudeRange) {
    const std::pair<const char*, const char*> cases[] = {
        {"300", "127"}, {"-200", "-128"}, {"007", "7"}, {"-", "0"}, {"", "0"}, {"abc", "0"}};
    for (const auto& [typed, shown] : cases) {
        field("ZValueEdit").setText(QString::fromLatin1(typed));
        EXPECT_EQ(field("ZValueEdit").text(), shown) << typed;
    }
    field("ZValueEdit").setText("126");
    control<gui::UpDown>("XValueUpDown").step(1);
    control<gui::UpDown>("XValueUpDown").step(1);
    EXPECT_EQ(field("ZValueEdit").text(), "127");
    EXPECT_EQ(panel(1), "Selected mode: Set altitude to 127 - Drawing disabled");
}

TEST_F(MapEditorTest, ZFieldKeepsTheCaretAndLetsAMinusBeginANumber) {
    auto& z = field("ZValueEdit");
    editor().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor()));
    typeInto(z, "5");
    QTest::keyClick(&z, Qt::Key_Home);
    QTest::keyClicks(&z, "12");
    EXPECT_EQ(z.text(), "125");
    EXPECT_EQ(z.cursorPosition(), 2);
    typeInto(z, "007");
    EXPECT_EQ(z.text(), "7");
    EXPECT_EQ(z.cursorPosition(), 1);

    // Typed from left to right, "-20" passes through a lone "-" that counts as 0 meanwhile.
    typeInto(z, "-");
    EXPECT_EQ(z.text(), "-");
    EXPECT_EQ(panel(1), "Selected mode: Set altitude to 0 - Drawing disabled");
    QTest::keyClicks(&z, "20");
    EXPECT_EQ(z.text(), "-20");
    EXPECT_EQ(panel(1), "Selected mode: Set altitude to -20 - Drawing disabled");
    // Enter or leaving the field turns what is unfinished into "0".
    typeInto(z, "-");
    QTest::keyClick(&z, Qt::Key_Return);
    EXPECT_EQ(z.text(), "0");
    typeInto(z, "");
    EXPECT_EQ(z.text(), "");
    field("XJumpEdit").setFocus();
    EXPECT_EQ(z.text(), "0");
    typeInto(z, "x");
    EXPECT_EQ(z.text(), "0");
}

TEST_F(MapEditorTest, EnterInAJumpFieldJumps) {
    for (const char* name : {"XJumpEdit", "YJumpEdit"}) {
        typeInto(field("XJumpEdit"), "300");
        typeInto(field("YJumpEdit"), name[0] == 'X' ? "200" : "100");
        QTest::keyClick(&Find<QLineEdit>(editor(), name), Qt::Key_Return);
        EXPECT_EQ(QPoint(grid().col(), grid().row()), QPoint(300, name[0] == 'X' ? 200 : 100));
        EXPECT_FALSE(grid().cellRect(grid().col(), grid().row()).isEmpty());
    }
}

// The status bar's two panels share it; neither they nor any other part of the window hold it
// wider than the first size, so it can be made larger and smaller again.
TEST_F(MapEditorTest, ItResizesBothWaysWithTheStatusPanelsHalfEach) {
    for (const QSize size : {QSize(1200, 800), QSize(697, 575), QSize(1000, 700)}) {
        editor().resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(editor().size(), size);
        EXPECT_LE(editor().minimumSizeHint().width(), 697);
        const auto& bar = control<QWidget>("StatusBar");
        const int left = control<QLabel>("PointerPanel").width();
        const int right = control<QLabel>("ModePanel").width();
        EXPECT_LE(std::abs(left - right), 1) << size.width();
        EXPECT_GE(left + right, bar.width() - 16) << size.width();
    }
}

TEST_F(MapEditorTest, JumpClampsScrollsIntoViewAndPaintsNothing) {
    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "9");
    pointAt(1, 1);
    const QString status = panel(0);
    typeInto(field("XJumpEdit"), "99999");
    typeInto(field("YJumpEdit"), "-5");
    button("JumpButton").click();
    EXPECT_EQ(QPoint(grid().col(), grid().row()), QPoint(6143, 0));
    EXPECT_FALSE(grid().cellRect(6143, 0).isEmpty());
    EXPECT_EQ(panel(0), status);

    // The current cell again, after scrolling away: it comes back into view.
    grid().setLeftCol(100);
    button("JumpButton").click();
    EXPECT_FALSE(grid().cellRect(6143, 0).isEmpty());
    for (const QPoint cell : {QPoint(6143, 0), QPoint(6142, 1), QPoint(6142, 0), QPoint(6143, 1)})
        EXPECT_EQ(ReadMapCell(world("map0.mul"), cell.x(), cell.y()).Altitude, 0);

    typeInto(field("XJumpEdit"), "abc");
    button("JumpButton").click();
    ASSERT_EQ(dialogs_.errors(), std::vector<QString>{"'abc' ist kein gültiger Integerwert"});
    EXPECT_EQ(QPoint(grid().col(), grid().row()), QPoint(6143, 0));
    // Painting works again afterwards.
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 6143, 1).Altitude, 9);
}

TEST_F(MapEditorTest, CellsShowTheirPicturesAndAnImageFileChangeShowsAtTheNextDraw) {
    put(0, 0, 5, 0);
    put(1, 0, 0x16F, 0); // no picture: black
    grid().viewport()->update();
    EXPECT_EQ(pixelOf(0, 0), QColor(0, 255, 0).rgb());
    EXPECT_EQ(pixelOf(1, 0), QColor(Qt::black).rgb());
    // Another size and time: the cached picture goes.
    ImagePair textures, art;
    textures.add(5, std::vector<std::uint16_t>(64 * 64, kRed));
    textures.add(6, std::vector<std::uint16_t>(64 * 64, kRed));
    textures.setEntry(kImageIdCount - 1, {-1, -1, 0});
    art.setEntry(kImageIdCount - 1, {-1, -1, 0});
    WriteImageFolder(worldDir_.path(), textures, art);
    EXPECT_EQ(pixelOf(0, 0), QColor(255, 0, 0).rgb());
}

TEST_F(MapEditorTest, InvalidPathsShowBlackCellsAndTouchNoFile) {
    put(0, 0, 5, 4);
    const std::string image = world("texidx.mul");
    WriteWholeFile(world("map6.mul"), "");
    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "9");

    typeInto(field("MapEdit"), Q(world("map6.mul")));
    EXPECT_TRUE(gui::IsRed(field("MapEdit")));
    pointAt(0, 0);
    EXPECT_EQ(panel(0), "X=0 - Y=0 - Wrong filename");
    EXPECT_EQ(pixelOf(0, 0), QColor(Qt::black).rgb());
    click(0, 0);
    EXPECT_EQ(RawCell(world("map0.mul"), 0, 0), Bytes(5, 4));
    EXPECT_EQ(settings_.get("Map0.mul").toString(), Q(world("map0.mul")));

    // A folder without the image files: also no map access.
    typeInto(field("MapEdit"), Q(world("map0.mul")));
    typeInto(field("UOPathEdit"), Q(world("nothing")));
    EXPECT_TRUE(gui::IsGreen(field("MapEdit")));
    EXPECT_TRUE(gui::IsRed(field("UOPathEdit")));
    pointAt(1, 0);
    EXPECT_EQ(panel(0), "X=1 - Y=0 - Wrong filename");
    click(0, 0);
    EXPECT_EQ(RawCell(world("map0.mul"), 0, 0), Bytes(5, 4));
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(MapEditorTest, PathsAreSavedOnlyByTheEditThatLeavesBothValid) {
    TempDir other;
    MakeSparseMap(other.file("MAP0.MUL"));
    typeInto(field("MapEdit"), Q(other.file("MAP0.MUL")));
    EXPECT_TRUE(gui::IsGreen(field("MapEdit")));
    EXPECT_EQ(settings_.get("Map0.mul").toString(), Q(other.file("MAP0.MUL")));

    TempDir images;
    WriteImages(images.path(), kGreen);
    std::filesystem::rename(images.file("texidx.mul"), images.file("TexIdx.mul"));
    typeInto(field("UOPathEdit"), Q(images.path()));
    EXPECT_TRUE(gui::IsGreen(field("UOPathEdit")));
    EXPECT_EQ(settings_.get("UOPath").toString(), Q(images.path()));

    // Reading, drawing and painting with the valid paths store nothing: only an edit does.
    settings_.put("UOPath", "kept");
    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "3");
    pointAt(4, 4);
    click(4, 4);
    grid().viewport()->repaint();
    EXPECT_EQ(ReadMapCell(other.file("MAP0.MUL"), 4, 4).Altitude, 3);
    EXPECT_EQ(settings_.get("UOPath").toString(), "kept");
}

TEST_F(MapEditorTest, AFailedReadIsToldOncePerCauseUntilThePathsChange) {
    TempDir shortMap;
    WriteWholeFile(shortMap.file("map0.mul"), std::string(1000, '\0'));
    field("MapEdit").setText(Q(shortMap.file("map0.mul")));
    grid().viewport()->repaint();
    grid().viewport()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Versuch hinter dem Dateiende zu lesen"});
    typeInto(field("UOPathEdit"), Q(worldDir_.path()) + "/");
    grid().viewport()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs_.errors().size(), 2u);
}

TEST_F(MapEditorTest, AFailedWriteLeavesCellAndFileAsTheyWere) {
    put(2, 2, 5, 4);
    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "9");
    FileFaults::FailNthWrite(1);
    click(2, 2);
    FileFaults::Reset();
    EXPECT_EQ(dialogs_.errors().size(), 1u);
    EXPECT_EQ(RawCell(world("map0.mul"), 2, 2), Bytes(5, 4));

    // A tile outside 0-65535 (a palette cell without an id) paints nothing either.
    editor().selectTile(-1);
    click(2, 2);
    EXPECT_EQ(dialogs_.errors().back(), "Fehler bei Bereichsprüfung");
    EXPECT_EQ(RawCell(world("map0.mul"), 2, 2), Bytes(5, 4));
}

TEST_F(MapEditorTest, ShowingResetsTheModeSeedsTheGeneratorAndOpensThePalette) {
    TexturePaletteWindow& palette = program_->textureAuswahlForm();
    EXPECT_TRUE(palette.isVisible());
    modes().setCurrentIndex(kAltitudeOnly);
    editor().hide();
    EXPECT_FALSE(palette.isVisible());

    program_->context().state.RandomSeed = 0;
    const QTime before = QDateTime::currentDateTimeUtc().time();
    editor().show();
    const QTime after = QDateTime::currentDateTimeUtc().time();
    const auto seed = static_cast<int>(program_->context().state.RandomSeed);
    if (before <= after) { // not across midnight
        EXPECT_TRUE(seed >= before.msecsSinceStartOfDay() && seed <= after.msecsSinceStartOfDay());
    }
    EXPECT_EQ(modes().currentIndex(), kDontDraw);
    EXPECT_EQ(control<gui::DrawGrid>("TextureDrawGrid").rowCount(), 2560);
    EXPECT_TRUE(palette.isVisible());
}

// The palette must stay usable while the editor is modal; the main window must not.
TEST_F(MapEditorTest, ThePaletteIsNotBlockedByTheModalEditor) {
    struct BlockWatch : QObject {
        bool blocked = false;
        bool eventFilter(QObject*, QEvent* event) override {
            blocked |= event->type() == QEvent::WindowBlocked;
            return false;
        }
    } paletteWatch, mainWatch;
    TexturePaletteWindow& palette = program_->textureAuswahlForm();
    palette.installEventFilter(&paletteWatch);
    form().installEventFilter(&mainWatch);
    editor().hide();
    editor().setWindowModality(Qt::ApplicationModal);
    editor().show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(mainWatch.blocked);
    EXPECT_FALSE(paletteWatch.blocked);
    editor().hide();
}

} // namespace
} // namespace lw::test

namespace lw::test {
namespace {

class MapEditorStrokeTest : public MapEditorTest {
protected:
    void SetUp() override {
        MapEditorTest::SetUp();
        editor().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor()));
    }
    // Along a row, through every cell.
    void drag(QPoint from, QPoint to) {
        QWidget* view = grid().viewport();
        QTest::mousePress(view, Qt::LeftButton, {}, centre(from.x(), from.y()));
        for (int x = from.x() + 1; x <= to.x(); ++x)
            QTest::mouseMove(view, centre(x, from.y()));
        QTest::mouseRelease(view, Qt::LeftButton, {}, centre(to.x(), to.y()));
    }
    void keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(&grid(), key, modifiers);
    }
    // The altitudes of the cells (1..5, 1..3), row by row.
    std::vector<int> altitudes() {
        std::vector<int> found;
        for (int y = 1; y <= 3; ++y)
            for (int x = 1; x <= 5; ++x)
                found.push_back(ReadMapCell(world("map0.mul"), x, y).Altitude);
        return found;
    }
    std::vector<int> all(int altitude) { return std::vector<int>(15, altitude); }
    void wheel(int x, int y, int delta) {
        const QPointF at = centre(x, y);
        QWheelEvent event(at, grid().viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid().viewport(), &event);
    }
};

TEST_F(MapEditorStrokeTest, AStrokeIsOneUndoStepByKeysAndButtonsAcrossShowings) {
    chooseMode(kAltitudeOnly, AltitudeMode::AddZ, "1");
    control<QSpinBox>("BrushSizeSpinBox").setValue(3);
    QAbstractButton& undo = button("UndoButton");
    QAbstractButton& redo = button("RedoButton");
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_FALSE(redo.isEnabled());

    drag({2, 2}, {4, 2}); // the 3 x 3 square from x 1 to 5, each cell once
    EXPECT_EQ(altitudes(), all(1));
    EXPECT_TRUE(undo.isEnabled());
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(altitudes(), all(0));
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_TRUE(redo.isEnabled());
    keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(altitudes(), all(1));
    keys(Qt::Key_Z, Qt::ControlModifier);
    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(altitudes(), all(1));

    // The history stays while the window is away, and its buttons show it.
    editor().hide();
    editor().show();
    EXPECT_TRUE(undo.isEnabled());
    QTest::mouseClick(&undo, Qt::LeftButton);
    EXPECT_EQ(altitudes(), all(0));
    QTest::mouseClick(&redo, Qt::LeftButton);
    EXPECT_EQ(altitudes(), all(1));

    // Another map forgets it.
    TempDir other;
    MakeSparseMap(other.file("map0.mul"));
    typeInto(field("MapEdit"), Q(other.file("map0.mul")));
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_FALSE(redo.isEnabled());
    typeInto(field("MapEdit"), Q(world("map0.mul")));
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(MapEditorStrokeTest, AnUndoOfCellsAnotherProgramChangedIsRefusedAndWritesNothing) {
    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "9");
    drag({1, 1}, {3, 1});
    put(2, 1, 0x44, 50); // a server's save, say
    keys(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(dialogs_.errors().size(), 1u);
    EXPECT_EQ(dialogs_.errors()[0], "Cannot undo: the cell X=2 - Y=1 no longer holds what was "
                                    "painted there. Another program has changed the map file.");
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 1, 1).Altitude, 9);
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 3, 1).Altitude, 9);
    EXPECT_EQ(RawCell(world("map0.mul"), 2, 1), Bytes(0x44, 50));
    EXPECT_TRUE(button("UndoButton").isEnabled());
}

TEST_F(MapEditorStrokeTest, ZoomKeepsThePointersCellAndPaintsPointsAndJumpsAtEverySize) {
    grid().setLeftCol(100);
    grid().setTopRow(200);
    put(104, 203, 5, 0);
    const std::vector<int> sides = {45, 22, 11, 5, 2};
    for (std::size_t i = 1; i < sides.size(); ++i) {
        const QPoint at = centre(104, 203);
        wheel(104, 203, -120);
        EXPECT_EQ(grid().cellWidth(), sides[i]);
        EXPECT_EQ(grid().cellAt(at), QPoint(104, 203)) << sides[i];
    }
    wheel(104, 203, -120);
    EXPECT_EQ(grid().cellWidth(), 2); // the smallest

    // At 2 pixels a cell shows its picture's average colour, shaded by its altitude.
    put(105, 203, 5, -128);
    grid().viewport()->repaint();
    const QImage shot = grid().viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(grid().cellRect(104, 203).topLeft()), QColor(0, 255, 0).rgb());
    EXPECT_EQ(shot.pixel(grid().cellRect(105, 203).topLeft()), QColor(0, 127, 0).rgb());

    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "4");
    click(106, 204);
    EXPECT_EQ(ReadMapCell(world("map0.mul"), 106, 204).Altitude, 4);
    pointAt(106, 204);
    EXPECT_EQ(panel(0), "X=106 - Y=204 - Altitude=4 - Tile=00 00");
    typeInto(field("XJumpEdit"), "3000");
    typeInto(field("YJumpEdit"), "3000");
    button("JumpButton").click();
    EXPECT_FALSE(grid().cellRect(3000, 3000).isEmpty());

    // Back with the keys to the first size, where altitude labels fit again.
    grid().setFocus();
    for (int i = 0; i < 5; ++i)
        keys(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(grid().cellWidth(), 45);
    keys(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(grid().cellWidth(), 22);
    EXPECT_TRUE(dialogs_.errors().empty());
}

TEST_F(MapEditorStrokeTest, LabelsOnlyWhereTheyFit) {
    put(0, 0, 5, -100);
    const auto topLeft = [&] {
        grid().viewport()->repaint();
        return grid().viewport()->grab().toImage().pixel(grid().cellRect(0, 0).topLeft() +
                                                         QPoint(1, 1));
    };
    EXPECT_EQ(topLeft(), QColor(Qt::white).rgb()); // the label's background
    for (int i = 0; i < 2; ++i)
        wheel(0, 0, -120);
    ASSERT_EQ(grid().cellWidth(), 11);
    EXPECT_EQ(topLeft(), QColor(0, 255, 0).rgb()); // the picture itself
}

TEST_F(MapEditorStrokeTest, ARightClickPicksTheCellsTileAndThePreviewShowsIt) {
    put(3, 2, 5, 7);
    chooseMode(kAltitudeOnly, AltitudeMode::SetToZ, "9");
    QTest::mouseClick(grid().viewport(), Qt::RightButton, {}, centre(3, 2));
    EXPECT_EQ(modes().currentIndex(), kSelectedTile);
    EXPECT_EQ(panel(1), "Selected mode: Set altitude to 9 - Selected tile=00 05");
    EXPECT_EQ(RawCell(world("map0.mul"), 3, 2), Bytes(5, 7)); // nothing painted

    auto& preview = control<QLabel>("TilePreview");
    EXPECT_EQ(preview.toolTip(), "00 05");
    const QImage picture = preview.pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(64, 64));
    EXPECT_EQ(picture.pixel(60, 60), QColor(0, 255, 0).rgb());
    modes().setCurrentIndex(kFirstGroupListIndex + 6);
    EXPECT_EQ(preview.toolTip(), "00 03-00 06");
    modes().setCurrentIndex(kAltitudeOnly);
    EXPECT_EQ(preview.toolTip(), "");
}

} // namespace
} // namespace lw::test
