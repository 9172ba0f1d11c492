// Damaged and hostile files fed to every operation of the desktop program: truncated world files,
// a diff pointing past its end, an item ID beyond 65535, a texture entry past its data, a folder
// where a file belongs. Each run shows an error, changes no file, and leaves the window usable.
#include "UiFixture.h"
#include "diff/Checksums.h"
#include "diff/DiffFormat.h"
#include "gui/DiffWindow.h"
#include "gui/FillClearWindow.h"
#include "gui/MapEditorWindow.h"
#include "gui/ProgressWindow.h"
#include "gui/widgets/DrawGrid.h"
#include "mapedit/MapCells.h"
#include "support/ImageFiles.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "world/ProgramState.h"
#include "world/StaticIndex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <functional>

namespace lw::test {
namespace {

namespace fs = std::filesystem;

// Every file below the folder by its relative path, with a hash of its bytes; folders are listed
// too, so that a folder turned into a file (or back) shows.
std::map<std::string, std::size_t> Tree(const std::string& folder) {
    std::map<std::string, std::size_t> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        tree[name] = entry.is_directory()
                         ? 0
                         : std::hash<std::string>{}(ReadWholeFile(entry.path().string()));
    }
    return tree;
}

void Cut(const std::string& path, std::size_t size) {
    WriteWholeFile(path, ReadWholeFile(path).substr(0, size));
}

// Replaces a file by an empty folder of the same name.
void MakeFolderOf(const std::string& path) {
    fs::remove(path);
    fs::create_directory(path);
}

std::string Item(int id) {
    return "SECTION WORLDITEM 1\r\n{\r\nSERIAL 1073741825\r\nID " + std::to_string(id) +
           "\r\nX 9\r\nY 9\r\nZ 0\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
}

// One hostile case: what it damages and which button then meets it.
struct Case {
    const char* name;
    std::function<void()> damage;
    std::function<void()> run;
    bool indexLoaded = true; // false: the index is not loaded before the run
};

class HostileInputsTest : public UiTest {
protected:
    // Runs each case on a fresh copy of the sound files: one error box, the same files as
    // before the run (the damage aside), the window still taking clicks.
    void runCases(const std::vector<Case>& cases, const std::function<void(const Case&)>& restore,
                  QWidget& window) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            restore(c);
            c.damage();
            const auto before = Tree(worldDir_.path());
            dialogs_.messages.clear();
            c.run();
            ASSERT_EQ(dialogs_.errors().size(), 1u);
            EXPECT_FALSE(dialogs_.errors()[0].isEmpty());
            EXPECT_EQ(Tree(worldDir_.path()), before);
            EXPECT_TRUE(window.isEnabled());
            EXPECT_FALSE(program_->progressForm().isVisible());
            EXPECT_FALSE(program_->context().busy.busy());
            EXPECT_EQ(FileFaults::OpenHandles(), 0);
        }
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

TEST_F(HostileInputsTest, MainWindowOperations) {
    makeWorld();
    PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 1,
                   {{0x0EED, 1, 1, 0, 0}, {0x0EEE, 2, 2, 0, 0}});
    const std::string index = ReadWholeFile(world("staidx0.mul"));
    const std::string statics = ReadWholeFile(world("statics0.mul"));
    settings_.put("Mode", 0);
    start();
    MainWindow& f = form();
    typeInto(mainEdit("StaIdxEdit"), Q(world("staidx0.mul")));
    typeInto(mainEdit("StaticsEdit"), Q(world("statics0.mul")));
    typeInto(mainEdit("WSCEdit"), Q(world("statics.cfg")));
    QPushButton* getStaticIndex = &mainButton("GetStaticIndexButton");
    QPushButton* getStaticBlock = &mainButton("GetStaticBlockButton");
    QPushButton* melt = &mainButton("MeltBlockButton");
    QPushButton* freeze = &mainButton("FreezeWorldButton");
    const auto restore = [&](const Case& c) {
        for (const char* name : {"staidx0.mul", "statics0.mul", "statics.cfg"})
            fs::remove(world(name));
        WriteWholeFile(world("staidx0.mul"), index);
        WriteWholeFile(world("statics0.mul"), statics);
        WriteWholeFile(world("statics.cfg"), Item(0x0EED));
        if (!c.indexLoaded)
            return;
        // The files were written anew, so the loaded index is read again, as a user would after
        // another program changed the files (GetStaticIndex is off once an index is loaded).
        if (program_->context().state.StaticIndexLoaded) {
            NullProgress quiet;
            LoadStaticIndex(program_->context().state, world("staidx0.mul"), quiet);
        }
        click(getStaticIndex);
        ASSERT_TRUE(program_->context().state.StaticIndexLoaded);
        for (const char* field : {"X1Edit", "X2Edit", "Y1Edit", "Y2Edit"})
            typeInto(mainEdit(field), "8");
    };
    const auto cutStatics = [&] { Cut(world("statics0.mul"), 10); };
    const std::vector<Case> cases = {
        // Until an index is loaded; then the button is off for good.
        {"GetStaticIndex on a truncated index", [&] { Cut(world("staidx0.mul"), 1000); },
         [&] { click(getStaticIndex); }, false},
        {"GetStaticIndex on a folder", [&] { MakeFolderOf(world("staidx0.mul")); },
         [&] { click(getStaticIndex); }, false},
        {"GetStaticBlock on a run past the end of statics0.mul", cutStatics,
         [&] { click(getStaticBlock); }},
        {"Melt! on a run past the end of statics0.mul", cutStatics, [&] { click(melt); }},
        {"Melt! on a folder for statics0.mul", [&] { MakeFolderOf(world("statics0.mul")); },
         [&] { click(melt); }},
        {"Freeze! on a run past the end of statics0.mul", cutStatics, [&] { click(freeze); }},
        {"Freeze! on an item ID of 70000",
         [&] { WriteWholeFile(world("statics.cfg"), Item(70000)); }, [&] { click(freeze); }},
        {"Freeze! on a folder for the item file", [&] { MakeFolderOf(world("statics.cfg")); },
         [&] { click(freeze); }},
    };
    runCases(cases, restore, f);

    // Sound files again: the same buttons work.
    restore({});
    dialogs_.messages.clear();
    click(melt);
    click(freeze);
    EXPECT_TRUE(dialogs_.errors().empty());
    EXPECT_EQ(ReadWholeFile(world("statics0.mul")).size(),
              statics.size() + 3 * 7); // the two melted and the one there
}

// A diff whose first static block points past the end of the file.
std::string DiffPastItsEnd(std::uint32_t originalChecksum) {
    DiffHeader header = FreshDiffHeader();
    header.StaticsIndexOffset = kDiffHeaderSize;
    header.OriginalIndexChecksum = originalChecksum;
    std::string bytes(kDiffHeaderSize + kStaticsDiffIndexSize, '\xFF');
    std::memcpy(bytes.data(), &header, sizeof header);
    const StaticsDiffEntry entry{0x7FFFFFF0, 14};
    std::memcpy(bytes.data() + kDiffHeaderSize, &entry, sizeof entry);
    return bytes;
}

TEST_F(HostileInputsTest, DiffWindowOperations) {
    const WorldFileSet original{world("o/staidx0.mul"), world("o/statics0.mul"),
                                world("o/map0.mul")};
    const WorldFileSet target{world("t/staidx0.mul"), world("t/statics0.mul"), world("t/map0.mul")};
    for (const WorldFileSet* set : {&original, &target}) {
        fs::create_directories(fs::path(set->map).parent_path());
        MakeEmptyStatics(set->staidx, set->statics);
        MakeSparseMap(set->map);
    }
    PutStaticBlock(original.staidx, original.statics, 1, 1, {{0x0EED, 1, 1, 0, 0}});
    const std::string index = ReadWholeFile(original.staidx);
    const std::string statics = ReadWholeFile(original.statics);
    const std::string targetMap = ReadWholeFile(target.map);
    const std::pair<const char*, std::string> paths[] = {
        {"O-StaIdx0.mul", original.staidx}, {"O-Statics0.mul", original.statics},
        {"O-Map0.mul", original.map},       {"StaIdx0.mul", target.staidx},
        {"Statics0.mul", target.statics},   {"Map0.mul", target.map}};
    for (const auto& [name, path] : paths)
        settings_.put(name, Q(path));
    settings_.put("Mode", 0);
    start();
    DiffWindow& d = program_->diffForm();
    d.show();

    StaticIndexTable table;
    NullProgress quiet;
    ReadStaticIndex(original.staidx, table, quiet);
    const std::string pastItsEnd = DiffPastItsEnd(IndexChecksum(table));
    const auto restore = [&](const Case&) {
        fs::remove_all(world("d.lw2"));
        WriteWholeFile(world("d.lw2"), pastItsEnd);
        WriteWholeFile(original.staidx, index);
        WriteWholeFile(original.statics, statics);
        WriteWholeFile(target.map, targetMap);
    };
    const auto apply = [&] {
        dialogs_.fileAnswers = {Q(world("d.lw2"))};
        click(&Find<QPushButton>(d, "ApplyButton"));
    };
    const auto generate = [&] {
        dialogs_.fileAnswers = {Q(world("new.lw2"))};
        click(&Find<QPushButton>(d, "GenerateButton"));
    };
    const std::vector<Case> cases = {
        {"Apply a diff with an offset past its end", [] {}, apply},
        {"Apply a truncated diff", [&] { Cut(world("d.lw2"), kDiffHeaderSize + 100); }, apply},
        {"Apply a folder for the diff", [&] { MakeFolderOf(world("d.lw2")); }, apply},
        {"Apply with a truncated original index",
         [&] {
             // A diff that changes nothing, so that only the index can fail.
             WriteWholeFile(world("d.lw2"), pastItsEnd.substr(0, kDiffHeaderSize) +
                                                std::string(kStaticsDiffIndexSize, '\xFF'));
             Cut(original.staidx, 5000);
         },
         apply},
        {"Generate from a truncated map", [&] { Cut(original.map, 5000); }, generate},
        {"Generate from a run past the end of statics0.mul", [&] { Cut(original.statics, 3); },
         generate},
    };
    runCases(cases, restore, d);
}

TEST_F(HostileInputsTest, FillClearGo) {
    MakeEmptyStatics(world("staidx0.mul"), world("statics0.mul"));
    MakeSparseMap(world("map0.mul"));
    PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 2, {{'A', 1, 1, 0, 0}});
    const std::string statics = ReadWholeFile(world("statics0.mul"));
    const std::string map = ReadWholeFile(world("map0.mul"));
    settings_.put("StaIdx0.mul", Q(world("staidx0.mul")));
    settings_.put("Statics0.mul", Q(world("statics0.mul")));
    settings_.put("Map0.mul", Q(world("map0.mul")));
    settings_.put("Mode", 0);
    start();
    FillClearWindow& w = program_->fillClearForm();
    w.show();
    const auto edit = [&](const char* name) { return &Find<QLineEdit>(w, name); };
    for (const char* box : {"StaticsCheckBox", "MapCheckBox"})
        if (QCheckBox& check = Find<QCheckBox>(w, box); !check.isChecked())
            click(&check);
    for (const auto& [name, value] : {std::pair{"ClearAreaLeftEdit", "8"},
                                      {"ClearAreaTopEdit", "16"},
                                      {"ClearAreaRightEdit", "9"},
                                      {"ClearAreaBottomEdit", "17"}})
        typeInto(*edit(name), value);
    // Part of block (1, 2) only, so that its records are read.
    Find<QComboBox>(w, "FillTileComboBox").setEditText("00 03");
    const auto restore = [&](const Case&) {
        fs::remove_all(world("statics0.mul"));
        fs::remove_all(world("map0.mul"));
        WriteWholeFile(world("statics0.mul"), statics);
        WriteWholeFile(world("map0.mul"), map);
    };
    const auto go = [&] { click(&Find<QPushButton>(w, "GoButton")); };
    const std::vector<Case> cases = {
        {"a truncated map", [&] { Cut(world("map0.mul"), 50000); }, go},
        {"a run past the end of statics0.mul", [&] { Cut(world("statics0.mul"), 3); }, go},
        {"a folder for map0.mul", [&] { MakeFolderOf(world("map0.mul")); }, go},
    };
    runCases(cases, restore, w);
}

TEST_F(HostileInputsTest, MapEditorDrawingWithATextureEntryPastItsData) {
    MakeSparseMap(world("map0.mul"));
    ImagePair textures, art;
    textures.add(5, std::vector<std::uint16_t>(64 * 64, 0x03E0));
    textures.setEntry(6, {1 << 20, 64 * 64 * 2, 0}); // past the end of texmaps.mul
    textures.setEntry(kImageIdCount - 1, {-1, -1, 0});
    art.setEntry(kImageIdCount - 1, {-1, -1, 0});
    WriteImageFolder(worldDir_.path(), textures, art);
    MapEditorWindow& editor = showMapEditor(world("map0.mul"));
    const auto images = [&] {
        return ReadWholeFile(world("texidx.mul")) + ReadWholeFile(world("texmaps.mul"));
    };
    const std::string imagesBefore = images();

    auto& grid = *editor.findChild<gui::DrawGrid*>("MainDrawGrid");
    editor.selectTile(6);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(0, 0).center());
    grid.viewport()->repaint();
    QCoreApplication::processEvents();
    // The cell is painted as asked; its picture cannot be read, which is told once.
    EXPECT_EQ(+ReadMapCell(world("map0.mul"), 0, 0).Tile, 6);
    EXPECT_EQ(dialogs_.errors().size(), 1u);
    EXPECT_EQ(images(), imagesBefore);
    EXPECT_TRUE(editor.isEnabled());

    // The editor goes on: a sound texture paints and shows.
    editor.selectTile(5);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(1, 0).center());
    EXPECT_EQ(+ReadMapCell(world("map0.mul"), 1, 0).Tile, 5);
    EXPECT_LE(dialogs_.errors().size(), 1u);
}

} // namespace
} // namespace lw::test
