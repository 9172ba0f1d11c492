#include "fillclear/NamedTiles.h"
#include "mapedit/CellPrinters.h"
#include "mapedit/MapCells.h"
#include "mapedit/Stroke.h"
#include "mapedit/UndoHistory.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/JournalFile.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace lw {
namespace {

// The tiles of the area the strokes below touch, to compare whole states of the map.
constexpr int kLeft = 6, kTop = 14, kSide = 12;

class StrokeUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSparseMap(map);
        for (int y = kTop; y < kTop + kSide; ++y)
            for (int x = kLeft; x < kLeft + kSide; ++x)
                WriteMapCell(
                    map, x, y,
                    {static_cast<std::uint16_t>(x * 64 + y), static_cast<std::int8_t>(x - y)});
    }
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    std::string area() const {
        const auto cells = ReadMapCellArea(map, kLeft, kTop, kSide, kSide);
        return {reinterpret_cast<const char*>(cells.data()), cells.size() * sizeof(TMapCell)};
    }
    Brush brush(int size, AltitudeMode altitude, int z) const {
        Brush b;
        b.Mode = DrawingMode::SelectedTile;
        b.Tile = 0x3A;
        b.Size = size;
        b.Altitude = altitude;
        b.Z = z;
        return b;
    }
    // A stroke of the 3 x 3 brush dragged from (10, 20) to (12, 20), raising by 5.
    PaintStep dragged() {
        Stroke stroke(map);
        const Brush raise = brush(3, AltitudeMode::AddZ, 5);
        for (int x = 10; x <= 12; ++x)
            stroke.paint(raise, x, 20, seed);
        return stroke.take();
    }

    test::TempDir dir;
    std::string map = dir.file("map0.mul");
    std::uint32_t seed = 0;
};

TEST_F(StrokeUndoTest, AStrokePaintsEachCellOnceAndRecordsItsBytes) {
    Stroke stroke(map);
    const Brush raise = brush(3, AltitudeMode::AddZ, 5);
    EXPECT_EQ(stroke.paint(raise, 10, 20, seed).size(), 9u);
    // Moving one cell right adds one new column; going back adds nothing.
    EXPECT_EQ(stroke.paint(raise, 11, 20, seed),
              (std::vector<CellPos>{{12, 19}, {12, 20}, {12, 21}}));
    EXPECT_TRUE(stroke.paint(raise, 10, 20, seed).empty());

    const TMapCell centre = ReadMapCell(map, 10, 20);
    EXPECT_EQ(+centre.Tile, 0x3A);
    EXPECT_EQ(centre.Altitude, 10 - 20 + 5) << "raised once, not three times";
    const PaintStep step = stroke.take();
    EXPECT_EQ(step.MapPath, map);
    ASSERT_EQ(step.Changes.size(), 12u);
    const CellChange& first = step.Changes.front();
    EXPECT_EQ(first.Cell, (CellPos{9, 19}));
    EXPECT_EQ(+first.Before.Tile, 9 * 64 + 19);
    EXPECT_EQ(first.Before.Altitude, 9 - 19);
    EXPECT_EQ(first.After.Altitude, 9 - 19 + 5);
    EXPECT_TRUE(stroke.empty());
    // A new stroke paints the same cells again.
    EXPECT_EQ(stroke.paint(raise, 10, 20, seed).size(), 9u);
    EXPECT_EQ(ReadMapCell(map, 10, 20).Altitude, 10 - 20 + 10);
}

TEST_F(StrokeUndoTest, GroupPicksFollowThePaintingOrder) {
    Brush group = brush(2, AltitudeMode::SetToZ, 0);
    group.chooseListEntry(kFirstGroupListIndex + 12); // "Random stars"
    seed = 99;
    Stroke stroke(map);
    stroke.paint(group, 10, 20, seed);
    std::uint32_t expected = 99;
    for (const CellPos cell : std::vector<CellPos>{{10, 20}, {11, 20}, {10, 21}, {11, 21}})
        EXPECT_EQ(+ReadMapCell(map, cell.X, cell.Y).Tile, PickNamedTile(expected, 12)) << cell.X;
    EXPECT_EQ(seed, expected);
}

TEST_F(StrokeUndoTest, AFailedPaintKeepsWhatItWrote) {
    const std::string before = area();
    Stroke stroke(map);
    Brush bad = brush(3, AltitudeMode::SetToZ, 0);
    bad.Tile = -1; // a palette cell without an id
    EXPECT_THROW(stroke.paint(bad, 10, 20, seed), RangeError);
    EXPECT_TRUE(stroke.empty());
    EXPECT_EQ(area(), before);

    FileFaults::FailNthWrite(3);
    EXPECT_THROW(stroke.paint(brush(3, AltitudeMode::SetToZ, 9), 10, 20, seed), IoError);
    FileFaults::Reset();
    ASSERT_EQ(stroke.step().Changes.size(), 2u);
    EXPECT_EQ(ReadMapCell(map, 10, 19).Altitude, 9);
    EXPECT_EQ(ReadMapCell(map, 11, 19).Altitude, 11 - 19) << "the failed write left its cell";
    UndoHistory history;
    history.add(stroke.take());
    history.undo();
    EXPECT_EQ(area(), before);
}

TEST_F(StrokeUndoTest, UndoAndRedoWalkTheStrokesBackAndForth) {
    const std::string original = area();
    UndoHistory history;
    history.useMap(map);
    EXPECT_FALSE(history.canUndo());
    history.add(dragged());
    const std::string afterFirst = area();
    {
        Stroke second(map);
        second.paint(brush(5, AltitudeMode::SetToZ, -30), 12, 22, seed);
        history.add(second.take());
    }
    history.add(Stroke(map).take()); // a click in "Don't draw" mode is no step
    const std::string afterSecond = area();

    EXPECT_EQ(history.undo().size(), 25u);
    EXPECT_EQ(area(), afterFirst);
    EXPECT_EQ(history.undo().size(), 15u);
    EXPECT_EQ(area(), original);
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.undo().empty());
    EXPECT_TRUE(history.canRedo());
    history.redo();
    history.redo();
    EXPECT_EQ(area(), afterSecond);
    EXPECT_FALSE(history.canRedo());

    // A new stroke after an undo drops what could be redone.
    history.undo();
    history.add(dragged());
    EXPECT_FALSE(history.canRedo());
    EXPECT_TRUE(history.canUndo());

    history.useMap(map);
    EXPECT_TRUE(history.canUndo()) << "the same map keeps its steps";
    history.useMap(dir.file("other/map0.mul"));
    EXPECT_FALSE(history.canUndo());
    history.useMap(map);
    EXPECT_FALSE(history.canUndo()) << "steps once forgotten stay forgotten";
}

TEST_F(StrokeUndoTest, ACellChangedByAnotherProgramRefusesTheStep) {
    UndoHistory history;
    history.add(dragged());
    const TMapCell theirs{0x777, 1};
    WriteMapCell(map, 13, 21, theirs);
    const std::string changed = area();
    try {
        history.undo();
        FAIL() << "undo went ahead";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot undo: the cell X=13 - Y=21 no longer holds what was "
                               "painted there. Another program has changed the map file.");
    }
    EXPECT_EQ(area(), changed);
    EXPECT_TRUE(history.canUndo());
    EXPECT_FALSE(history.canRedo());

    // With what the stroke wrote back in its place, the step goes.
    WriteMapCell(map, 13, 21, {0x3A, static_cast<std::int8_t>(13 - 21 + 5)});
    EXPECT_EQ(history.undo().size(), 15u);
    WriteMapCell(map, 9, 19, {0x777, 1});
    EXPECT_THROW(history.redo(), Error);
    EXPECT_EQ(+ReadMapCell(map, 9, 19).Tile, 0x777);
    EXPECT_TRUE(history.canRedo());
}

// A paint, an undo and the read of an area or a cell first look for what an interrupted operation
// left in the map's folder: a journal that cannot be trusted stops each of them before any change.
TEST_F(StrokeUndoTest, EditsAndAreaReadsLookForInterruptedOperationsFirst) {
    UndoHistory history;
    history.add(dragged());
    const std::string journal = JournalPathIn(dir.path());
    test::WriteWholeFile(journal, "PK\x03\x04 a zip file");
    const std::string before = test::ReadWholeFile(map);
    Stroke stroke(map);
    const Brush raise = brush(1, AltitudeMode::AddZ, 5);
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"paint", [&] { stroke.paint(raise, 30, 30, seed); }},
        {"undo", [&] { history.undo(); }},
        {"area read", [&] { ReadMapCellArea(map, kLeft, kTop, kSide, kSide); }},
        {"cell read", [&] { ReadMapCell(map, 30, 30); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        try {
            edit();
            ADD_FAILURE() << "went ahead";
        } catch (const JournalError& e) {
            EXPECT_NE(std::string(e.what()).find(journal), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(test::ReadWholeFile(map) == before);
    EXPECT_TRUE(history.canUndo());
    std::filesystem::remove(journal);
}

TEST_F(StrokeUndoTest, CellsAlreadyBackAreLeftAsTheyAre) {
    const std::string original = area();
    UndoHistory history;
    history.add(dragged());
    // Another program (or an interrupted undo) already put one cell back.
    WriteMapCell(map, 10, 20, {10 * 64 + 20, 10 - 20});
    const auto written = history.undo();
    EXPECT_EQ(written.size(), 14u);
    EXPECT_EQ(std::count(written.begin(), written.end(), CellPos{10, 20}), 0);
    EXPECT_EQ(area(), original);
}

TEST_F(StrokeUndoTest, AFailedWriteTakesTheWholeUndoBack) {
    UndoHistory history;
    history.add(dragged());
    const std::string painted = area();
    for (int n = 1; n <= 15; ++n) {
        SCOPED_TRACE(n);
        FileFaults::FailNthWrite(n);
        EXPECT_THROW(history.undo(), IoError);
        FileFaults::Reset();
        EXPECT_EQ(area(), painted);
        EXPECT_TRUE(history.canUndo());
        EXPECT_FALSE(history.canRedo());
    }
    const std::string original = [&] {
        history.undo();
        return area();
    }();
    for (int n = 1; n <= 15; ++n) {
        FileFaults::FailNthWrite(n);
        EXPECT_THROW(history.redo(), IoError);
        FileFaults::Reset();
        EXPECT_EQ(area(), original);
    }
    history.redo();
    EXPECT_EQ(area(), painted);
}

// The later clients' 7168 x 4096 world, as a plain map and in a container: the brush reaches its
// last column and is cut there, and the undo puts every byte back with the container's data
// hashes valid and nothing else of it changed.
TEST_F(StrokeUndoTest, TheWiderWorldsEdgeIsPaintedAndUndoneAlsoInAContainer) {
    const test::MapInBothForms maps = test::MakeMapInBothForms(dir.file("wide"), {896, 512});
    const std::string &plain = maps.plain, &container = maps.container;
    const auto edge = [](const std::string& path) {
        const auto cells = ReadMapCellArea(path, 6990, 4080, 178, 16);
        return std::string(reinterpret_cast<const char*>(cells.data()),
                           cells.size() * sizeof(TMapCell));
    };
    const std::string untouched = edge(plain);
    for (const std::string& path : {plain, container}) {
        SCOPED_TRACE(path);
        Stroke stroke(path);
        const Brush paint = brush(3, AltitudeMode::SetToZ, 9);
        EXPECT_EQ(stroke.paint(paint, 7000, 4085, seed).size(), 9u);
        EXPECT_EQ(stroke.paint(paint, 7167, 4095, seed),
                  (std::vector<CellPos>{{7166, 4094}, {7167, 4094}, {7166, 4095}, {7167, 4095}}));
        EXPECT_EQ(+ReadMapCell(path, 7167, 4095).Tile, 0x3A);
        UndoHistory history;
        history.add(stroke.take());
        EXPECT_EQ(history.undo().size(), 13u);
        EXPECT_EQ(edge(path), untouched);
        history.redo();
        EXPECT_EQ(ReadMapCell(path, 7001, 4086).Altitude, 9);
    }
    EXPECT_EQ(edge(container), edge(plain));
    EXPECT_TRUE(test::OutsideMapData(container, maps.fixture) == maps.outside);
    for (std::size_t k = 0; k < maps.fixture.pieceData.size(); ++k)
        EXPECT_EQ(test::RecordedHash(container, maps.fixture, k),
                  test::AdlerOfPiece(container, maps.fixture, k))
            << k;
}

} // namespace
} // namespace lw
