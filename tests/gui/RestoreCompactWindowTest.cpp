// "Compact" and "Restore..." in the main window's file-name strip, the restore window, and the
// restore points the window's operations keep with the settings' limits.
#include "UiFixture.h"
#include "gui/widgets/LineList.h"
#include "restore/RestorePoints.h"
#include "support/WorldFiles.h"
#include "util/ContentDigest.h"
#include "util/File.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

namespace lw::test {
namespace {

using Button = gui::MessageButton;

class RestoreCompactTest : public UiTest {
protected:
    // A world with statics in two blocks, the three fields filled in and the index loaded.
    // Rewriting a block appends its new run, so that the old one is dead space.
    // itemFile: another item file than the world folder's statics.cfg.
    void open(bool rewriteOne = false, const std::string& itemFile = {}) {
        makeWorld();
        itemFile_ = itemFile.empty() ? world("statics.cfg") : itemFile;
        PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 1,
                       {{0x0EED, 3, 7, -5, 0}, {0x1234, 0, 0, 10, 0x0481}});
        PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 2, 1, {{0x0001, 7, 7, 0, 0}});
        if (rewriteOne)
            PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 1,
                           {{0x0EED, 1, 1, 0, 0}});
        settings_.put("Mode", 0);
        start();
        typeInto(mainEdit("StaIdxEdit"), Q(world("staidx0.mul")));
        typeInto(mainEdit("StaticsEdit"), Q(world("statics0.mul")));
        typeInto(mainEdit("WSCEdit"), Q(itemFile_));
        click("GetStaticIndexButton");
        ASSERT_TRUE(program_->context().state.StaticIndexLoaded);
    }
    void click(const char* button) { QTest::mouseClick(&mainButton(button), Qt::LeftButton); }
    void meltBlocksOneAndTwo() {
        typeInto(mainEdit("X1Edit"), "8");
        typeInto(mainEdit("X2Edit"), "23");
        typeInto(mainEdit("Y1Edit"), "8");
        typeInto(mainEdit("Y2Edit"), "15");
        click("MeltBlockButton");
    }
    QStringList logLines() { return mainControl<gui::LineList>("LogListBox").lines(); }
    // The three files' digests (a failure prints them, not megabytes of index).
    std::vector<std::uint64_t> worldFiles() {
        std::vector<std::uint64_t> digests;
        for (const std::string& path : {world("staidx0.mul"), world("statics0.mul"), itemFile_})
            digests.push_back(DigestOfFile(path));
        return digests;
    }
    // Opens the restore window; act sees its list and presses its buttons.
    void inRestoreWindow(const std::function<void(QDialog&, QTreeWidget&)>& act) {
        bool shown = false;
        dialogs_.onModal = [&](QDialog& window) {
            ASSERT_EQ(window.objectName(), "RestoreForm");
            window.show();
            act(window, Find<QTreeWidget>(window, "RestorePointList"));
            window.close();
            shown = true;
        };
        click("RestoreButton");
        dialogs_.onModal = nullptr;
        EXPECT_TRUE(shown);
    }
    static QStringList Headings(const QTreeWidget& list) {
        QStringList rows;
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            rows.append(list.topLevelItem(i)->text(0) + " " + list.topLevelItem(i)->text(2));
        return rows;
    }
    std::string itemFile_;

    void expectLoadedIndexIsTheFile() {
        EXPECT_TRUE(program_->context().state.StaticIndex == ReadIndexFile(world("staidx0.mul")));
    }
    // The records of the two blocks, as bytes.
    std::string blocks() {
        std::string bytes;
        for (int x : {1, 2})
            for (const TStaticRec& record :
                 ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), x, 1))
                bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
        return bytes;
    }
};

TEST_F(RestoreCompactTest, AMeltIsPutBackFromTheRestoreWindowAndTheRestoreCanBeUndone) {
    open();
    const std::vector<std::uint64_t> before = worldFiles();
    meltBlocksOneAndTwo();
    ASSERT_TRUE(dialogs_.errors().empty());
    const std::vector<std::uint64_t> melted = worldFiles();
    ASSERT_NE(melted, before);
    const std::vector<StoredPoint> points = StoredPoints(worldDir_.path());
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].entry->operation, "melt");
    EXPECT_EQ(points[0].entry->commandLine, "desktop program, main window");

    inRestoreWindow([&](QDialog& window, QTreeWidget& list) {
        EXPECT_EQ(Headings(list), QStringList{"1 melt"});
        // Each kept file as a line below its point: the melt replaced the index and the item file.
        ASSERT_EQ(list.topLevelItem(0)->childCount(), 2);
        dialogs_.answers = {Button::No};
        QTest::mouseClick(&Find<QPushButton>(window, "RestoreButton"), Qt::LeftButton);
        EXPECT_EQ(worldFiles(), melted);
        dialogs_.answers = {Button::Yes};
        QTest::mouseClick(&Find<QPushButton>(window, "RestoreButton"), Qt::LeftButton);
        EXPECT_EQ(worldFiles(), before);
        // The restore's own point is the newest and the list shows it at once.
        EXPECT_EQ(Headings(list), (QStringList{"2 restore", "1 melt"}));
    });
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{});
    EXPECT_TRUE(logLines().contains("Restore point 1 was put back."));
    expectLoadedIndexIsTheFile();

    // Undone: the restore's point gives back the melted files.
    inRestoreWindow([&](QDialog& window, QTreeWidget& list) {
        list.setCurrentItem(list.topLevelItem(0));
        dialogs_.answers = {Button::Yes};
        QTest::mouseClick(&Find<QPushButton>(window, "RestoreButton"), Qt::LeftButton);
    });
    EXPECT_EQ(worldFiles(), melted);
    expectLoadedIndexIsTheFile();
}

// The item file in the server's folder, reached through a link; the world in the client's.
TEST_F(RestoreCompactTest, AMeltOverTwoFoldersIsOneRowAndComesBackInBoth) {
    TempDir server;
    WriteWholeFile(server.file("statics.cfg"), "");
    const std::string link = worldDir_.file("shard");
    std::filesystem::create_directory_symlink(server.path(), link);
    open(false, link + "/statics.cfg");
    const std::vector<std::uint64_t> before = worldFiles();
    meltBlocksOneAndTwo();
    ASSERT_TRUE(dialogs_.errors().empty());
    ASSERT_NE(worldFiles(), before);
    inRestoreWindow([&](QDialog& window, QTreeWidget& list) {
        EXPECT_EQ(Headings(list), QStringList{"1 melt"});
        EXPECT_EQ(list.topLevelItem(0)->childCount(), 2); // the index here, the item file there
        dialogs_.answers = {Button::Yes};
        QTest::mouseClick(&Find<QPushButton>(window, "RestoreButton"), Qt::LeftButton);
    });
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{});
    EXPECT_EQ(worldFiles(), before);
    EXPECT_EQ(StoredPoints(server.path()).size(), 2u); // the melt's and the restore's
}

TEST_F(RestoreCompactTest, ARestoreThatWouldLoseAnotherProgramsSaveIsRefusedNamingTheFile) {
    open();
    meltBlocksOneAndTwo();
    const std::string saved =
        ReadWholeFile(world("statics.cfg")) + "SECTION WORLDITEM 9\r\n{\r\n}\r\n";
    WriteWholeFile(world("statics.cfg"), saved);
    const std::vector<std::uint64_t> files = worldFiles();
    inRestoreWindow([&](QDialog& window, QTreeWidget&) {
        dialogs_.answers = {Button::Yes};
        QTest::mouseClick(&Find<QPushButton>(window, "RestoreButton"), Qt::LeftButton);
    });
    ASSERT_EQ(dialogs_.errors().size(), 1u);
    EXPECT_TRUE(dialogs_.errors()[0].contains("statics.cfg")) << dialogs_.errors()[0].toStdString();
    EXPECT_EQ(worldFiles(), files);
    EXPECT_EQ(StoredPoints(worldDir_.path()).size(), 1u);
}

TEST_F(RestoreCompactTest, CompactReclaimsTheDeadSpaceAndTheLoadedIndexFollows) {
    open(true);
    const std::uint64_t oldSize = FileSizeOf(world("statics0.mul"));
    const auto listed = blocks();

    click("CompactButton");
    ASSERT_TRUE(dialogs_.errors().empty());
    EXPECT_EQ(blocks(), listed);
    EXPECT_EQ(FileSizeOf(world("statics0.mul")), 2u * 7u);
    EXPECT_TRUE(logLines().contains(Q("Bytes reclaimed: " + std::to_string(oldSize - 14))));
    expectLoadedIndexIsTheFile();
    const std::vector<StoredPoint> points = StoredPoints(worldDir_.path());
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].entry->operation, "compact");
}

TEST_F(RestoreCompactTest, TheSettingsLimitTheRestorePointsAndABadValueStopsTheOperation) {
    open();
    settings_.put("RestorePoints", 1);
    meltBlocksOneAndTwo();
    click("FreezeWorldButton");
    ASSERT_TRUE(dialogs_.errors().empty());
    std::vector<StoredPoint> points = StoredPoints(worldDir_.path());
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].entry->operation, "freeze");

    settings_.put("RestoreSize", "lots");
    const std::vector<std::uint64_t> files = worldFiles();
    meltBlocksOneAndTwo();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{Q("Ungültiger Datentyp für 'RestoreSize'")});
    EXPECT_EQ(worldFiles(), files);
}

} // namespace
} // namespace lw::test
