// The map editor's rules without its window: the zoom anchor, the status texts, the Z and jump
// fields, the preview, when the paths are stored, strokes and their undo; and where the overview
// puts the world's picture, the tile under a point and the editor's outline.
#include "gui/models/MapEditorModel.h"

#include "gui/models/OverviewModel.h"
#include "mapedit/MapCells.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(MapEditorModelTest, TheCellUnderThePointerStaysUnderItAcrossZoomLevels) {
    struct Case {
        int first, pointer, oldPitch, newPitch, lastFirst, expected;
    } const cases[] = {
        {100, 460, 46, 23, 10000, 100 + 10 - 20}, // cell 110 under x 460: 20 cells of 23 left of it
        {100, 0, 46, 3, 10000, 100},              // at the view's edge nothing moves
        {90, 100, 3, 46, 10000, 90 + 33 - 2},     // zooming in
        {5, 460, 46, 3, 10000, 0},                // kept at the world's left edge
        {6000, 460, 46, 23, 6080, 6000 - 10},     // and at its right edge
        {6000, 1500, 3, 6, 5900, 5900},
        {7, -20, 46, 23, 100, 7}, // a pointer left of the view counts as at its edge
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnchoredFirst(c.first, c.pointer, c.oldPitch, c.newPitch, c.lastFirst),
                  c.expected)
            << c.first << " " << c.pointer;
    // The pointer's cell really is the same before and after.
    for (std::size_t from = 0; from < kZoomLevels.size(); ++from)
        for (std::size_t to = 0; to < kZoomLevels.size(); ++to) {
            const auto pitch = [](std::size_t level) {
                return kZoomLevels[level].CellSide + (kZoomLevels[level].GridLines ? 1 : 0);
            };
            const int pointer = 517, first = 2000;
            const int cell = first + pointer / pitch(from);
            const int anchored = AnchoredFirst(first, pointer, pitch(from), pitch(to), 6000);
            EXPECT_EQ(anchored + pointer / pitch(to), cell) << from << " to " << to;
        }
}

TEST(MapEditorModelTest, StatusTexts) {
    EXPECT_EQ(PointerStatusText({1423, 1650}, TMapCell{3, -5}),
              "X=1423 - Y=1650 - Altitude=-5 - Tile=00 03");
    EXPECT_EQ(PointerStatusText({0, 0}, std::nullopt), "X=0 - Y=0 - Wrong filename");

    struct Case {
        int entry;
        AltitudeMode altitude;
        int z;
        std::int32_t tile;
        const char* text;
    } const cases[] = {
        {0, AltitudeMode::SetToZ, 0, 0, "Selected mode: Set altitude to 0 - Drawing disabled"},
        {1, AltitudeMode::AddZ, 5, 0x16F,
         "Selected mode: Add 5 to current altitude - Selected tile=01 6F"},
        {1, AltitudeMode::AddZ, 5, -1,
         "Selected mode: Add 5 to current altitude - Selected tile=FF FF"},
        {2, AltitudeMode::SubtractZ, 7, 0,
         "Selected mode: Subtract 7 from current altitude - Drawing altitude only"},
        {kFirstGroupListIndex + 6, AltitudeMode::SetToZ, -3, 0,
         "Selected mode: Set altitude to -3 - Selected group: \"Random grass\""},
        {kFirstGroupListIndex + 13, AltitudeMode::SetToZ, 300, 0,
         "Selected mode: Set altitude to 127 - Selected group: \"Random water\""},
    };
    for (const Case& c : cases) {
        Brush brush;
        brush.chooseListEntry(c.entry);
        brush.Altitude = c.altitude;
        brush.Z = c.z;
        brush.Tile = c.tile;
        EXPECT_EQ(ModeStatusText(brush), c.text);
    }
}

TEST(MapEditorModelTest, TheZFieldAndTheJumpFields) {
    struct Case {
        const char* text;
        bool typing;
        int value;
        const char* rewritten; // nullptr: the text stays
    } const cases[] = {
        {"300", false, 127, "127"}, {"-200", true, -128, "-128"}, {"007", true, 7, "7"},
        {"-", true, 0, nullptr},    {"", true, 0, nullptr},       {"-", false, 0, "0"},
        {"", false, 0, "0"},        {"abc", true, 0, "0"},        {"0", false, 0, nullptr},
        {"$10", true, 16, "16"},    {"-20", true, -20, nullptr},
    };
    for (const Case& c : cases) {
        const ZFieldText read = ReadZField(c.text, c.typing);
        EXPECT_EQ(read.Value, c.value) << c.text;
        EXPECT_EQ(read.Rewritten,
                  c.rewritten ? std::optional<std::string>(c.rewritten) : std::nullopt)
            << c.text;
    }

    EXPECT_EQ(JumpTarget("99999", "-5", 6144, 4096), (CellPos{6143, 0}));
    EXPECT_EQ(JumpTarget(" 0x10", "$20", 7168, 4096), (CellPos{16, 32}));
    EXPECT_THROW(JumpTarget("abc", "0", 6144, 4096), ConvertError);
}

TEST(MapEditorModelTest, ThePreviewShowsTheTileOrTheGroupBeingPainted) {
    Brush brush;
    EXPECT_EQ(PreviewOf(brush), TilePreview{});
    brush.chooseListEntry(1);
    brush.Tile = 0x16F;
    EXPECT_EQ(PreviewOf(brush), (TilePreview{0x16F, "01 6F", "01 6F"}));
    brush.Tile = -1; // a palette cell without an id: nothing to show but what it is
    EXPECT_EQ(PreviewOf(brush), (TilePreview{std::nullopt, "FF FF", "FF FF"}));
    brush.chooseListEntry(2);
    EXPECT_EQ(PreviewOf(brush), TilePreview{});
    brush.chooseListEntry(kFirstGroupListIndex + 12);
    EXPECT_EQ(PreviewOf(brush), (TilePreview{0x1FA, "01 FA", "01 FA-01 FF"}));
}

class MapEditorModelFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("other"));
        test::MakeSparseMap(map);
        test::MakeSparseMap(other);
    }
    // The image folder valid, the map as given.
    void validate(const std::string& mapPath, bool valid) {
        using S = gui::FieldState;
        model.pathsValidated({{{mapPath, valid ? S::Valid : S::Invalid}, {dir.path(), S::Valid}}});
    }
    test::TempDir dir;
    std::string map = dir.file("map0.mul");
    std::string other = dir.file("other/map0.mul");
    MapEditorModel model;
    std::uint32_t seed = 0;
};

// The paths are stored when both fields are valid after an edit, and at no other time.
TEST_F(MapEditorModelFilesTest, PathsAreStoredOnTheEditThatLeavesBothValid) {
    using S = gui::FieldState;
    struct Step {
        S map, folder;
        bool store;
    } const steps[] = {
        {S::Valid, S::Untouched, false}, {S::Valid, S::Invalid, false}, {S::Valid, S::Valid, true},
        {S::Valid, S::Valid, true},      {S::Invalid, S::Valid, false}, {S::Valid, S::Valid, true},
        {S::Valid, S::Invalid, false},
    };
    int i = 0;
    for (const Step& step : steps) {
        const auto stored = model.pathsValidated({{{map, step.map}, {dir.path(), step.folder}}});
        EXPECT_EQ(stored.has_value(), step.store) << i;
        if (stored) {
            EXPECT_EQ(*stored, (std::array<std::string, 2>{map, dir.path()})) << i;
        }
        EXPECT_EQ(model.filesValid(), step.store) << i;
        ++i;
    }
}

TEST_F(MapEditorModelFilesTest, AStrokeIsOneStepAndAnotherMapForgetsTheHistory) {
    validate(map, true);
    model.brush().chooseListEntry(2);
    model.brush().Altitude = AltitudeMode::AddZ;
    model.brush().Z = 3;
    model.brush().Size = 3;

    model.beginStroke(map);
    EXPECT_EQ(model.paint(map, 10, 10, seed).size(), 9u);
    EXPECT_EQ(model.paint(map, 11, 10, seed).size(), 3u); // each cell once per stroke
    EXPECT_FALSE(model.canUndo());                        // not before the stroke ends
    model.endStroke();
    EXPECT_TRUE(model.canUndo());
    EXPECT_EQ(ReadMapCell(map, 10, 10).Altitude, 3);

    // A keyboard move is a stroke of its own.
    model.brush().Size = 1;
    EXPECT_EQ(model.paint(map, 20, 20, seed).size(), 1u);
    EXPECT_EQ(model.undo().size(), 1u);
    EXPECT_EQ(ReadMapCell(map, 20, 20).Altitude, 0);
    EXPECT_EQ(model.undo().size(), 12u);
    EXPECT_EQ(ReadMapCell(map, 12, 11).Altitude, 0);
    EXPECT_FALSE(model.canUndo());
    EXPECT_TRUE(model.canRedo());

    // Invalid paths: nothing to undo or redo meanwhile; the same map again keeps the history.
    validate("nothing", false);
    EXPECT_FALSE(model.canRedo());
    EXPECT_TRUE(model.redo().empty());
    validate(map, true);
    EXPECT_TRUE(model.canRedo());
    validate(other, true);
    EXPECT_FALSE(model.canRedo());
    EXPECT_FALSE(model.canUndo());
}

TEST(OverviewModelTest, ThePictureFitsTheWindowAndAPointShowsItsTile) {
    struct Case {
        WorldSize world;
        int width, height;
        AreaRect expected;
    } const cases[] = {
        {kClassicWorld, 366, 244, {0, 0, 366, 244}},
        {kClassicWorld, 600, 244, {117, 0, 366, 244}}, // centred across
        {kClassicWorld, 366, 400, {0, 78, 366, 244}},  // and down
        {WorldSize{181, 181}, 800, 600, {100, 0, 600, 600}},
        {WorldSize{100, 100}, 1000, 900, {100, 50, 800, 800}}, // never more than a pixel a tile
        {kClassicWorld, 0, 0, {0, 0, 1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitPicture(c.world, c.width, c.height), c.expected)
            << c.width << " x " << c.height;
    const AreaRect picture{117, 0, 366, 244};
    EXPECT_EQ(TileAtPoint(picture, kClassicWorld, 117, 0), (CellPos{0, 0}));
    EXPECT_EQ(TileAtPoint(picture, kClassicWorld, 117 + 183, 122), (CellPos{3072, 2048}));
    EXPECT_EQ(TileAtPoint(picture, kClassicWorld, 5000, -3), (CellPos{6127, 0}));
    EXPECT_EQ(OutlineOf(picture, kClassicWorld, {3072, 2048, 40, 20}),
              (AreaRect{117 + 183, 122, 2, 1}));
    EXPECT_EQ(OutlineOf(picture, kClassicWorld, {0, 0, 6144, 4096}), (AreaRect{117, 0, 366, 244}));
}

} // namespace
} // namespace lw
