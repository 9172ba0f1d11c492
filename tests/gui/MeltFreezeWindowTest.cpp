// "Melt!" and "Freeze!" driven through the main window: the block fields, the log, the item and
// patch files, the patch file dialog and its append question, "auto" with the program folder's
// AutoSelect.txt, Simple mode's guidance, and errors that leave everything as it was.
#include "UiFixture.h"
#include "gui/MainWindowTexts.h"
#include "gui/widgets/LineList.h"
#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/UpDown.h"
#include "support/FolderSnapshot.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

namespace lw::test {
namespace {

using Button = gui::MessageButton;

std::string Item(int number, int x, int y, const std::string& tags = "CONT -1\r\nTYPE 255\r\n",
                 int id = 3821) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nSERIAL " +
           std::to_string(0x40000000 + number) + "\r\nID " + std::to_string(id) + "\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) + "\r\nZ -5\r\n" + tags + "}\r\n";
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class MeltFreezeFormTest : public UiTest {
protected:
    // A world whose item file holds the given text, the window in the given mode with the
    // index loaded, and the program folder in a folder of the test's own.
    void open(const std::string& items, int mode = 0,
              const std::function<void()>& addStatics = {}) {
        makeWorld();
        if (addStatics)
            addStatics();
        WriteWholeFile(world("statics.cfg"), items);
        settings_.put("Mode", mode);
        start();
        form().setProgramFolder(Q(programDir_.path()));
        typeInto(mainEdit("StaIdxEdit"), Q(world("staidx0.mul")));
        typeInto(mainEdit("StaticsEdit"), Q(world("statics0.mul")));
        typeInto(mainEdit("WSCEdit"), Q(world("statics.cfg")));
        QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
        ASSERT_TRUE(program_->context().state.StaticIndexLoaded);
        logList().clear();
        form().setMainProgress(0);
    }
    void melt() { QTest::mouseClick(&mainButton("MeltBlockButton"), Qt::LeftButton); }
    void freeze() { QTest::mouseClick(&mainButton("FreezeWorldButton"), Qt::LeftButton); }
    gui::LineList& logList() { return mainControl<gui::LineList>("LogListBox"); }
    QStringList logLines() { return logList().lines(); }
    std::string items() { return ReadWholeFile(world("statics.cfg")); }
    std::string patch() const { return worldDir_.file("frozen.PAT"); }
    // The freeze's own controls, which a freeze leaves off for the rest of the run.
    void expectFreezeControlsOff() {
        EXPECT_FALSE(mainControl("SelectItemsRadioGroup").isEnabled());
        EXPECT_FALSE(mainControl("WritePATCheckBox").isEnabled());
        EXPECT_TRUE(mainButton("FreezeWorldButton").isEnabled());
    }
    QStringList blockTexts() {
        QStringList texts;
        for (const char* name : {"X1Edit", "X2Edit", "Y1Edit", "Y2Edit"})
            texts.append(mainEdit(name).text());
        return texts;
    }

    TempDir programDir_;
};

TEST_F(MeltFreezeFormTest, MeltSnapsTheFieldsAndFreezeBringsTheStaticsBack) {
    const std::vector<TStaticRec> first{{0x0EED, 3, 7, -5, 0}, {0x1234, 0, 0, 10, 0x0481}};
    const std::vector<TStaticRec> second{{0x0001, 7, 7, 0, 0}};
    open("", 0, [&] {
        PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 1, first);
        PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 2, 1, second);
    });
    mainControl<QCheckBox>("PolStyle").click(); // UOX3 style: the file ends with "EOF"
    typeInto(mainEdit("X1Edit"), "9");
    typeInto(mainEdit("X2Edit"), "20");
    typeInto(mainEdit("Y1Edit"), "8");
    typeInto(mainEdit("Y2Edit"), "8");
    melt();

    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(blockTexts(), (QStringList{"8", "23", "8", "15"}));
    EXPECT_EQ(mainControl<gui::UpDown>("X2UpDown").min(), 8);
    EXPECT_EQ(mainControl<gui::UpDown>("Y2UpDown").min(), 8);
    const QStringList log = logLines();
    ASSERT_GE(log.size(), 6);
    EXPECT_EQ(log.front(), "Melting in progress... Loamwright may look crashed, do not interrupt!");
    EXPECT_EQ(log[1], "Extracting from Statics... XBlock: 1 YBlock: 1   Appending to WSC...");
    EXPECT_TRUE(
        log.contains("Extracting from Statics... XBlock: 2 YBlock: 1   Appending to WSC..."));
    EXPECT_EQ(log.mid(log.size() - 3),
              (QStringList{"Writing StaIdx file...", "Done!", "Melting completed!"}));
    EXPECT_EQ(mainControl<gui::ProgressBar>("ProgressBar").value(), 100);
    EXPECT_TRUE(ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), 1, 1).empty());
    EXPECT_EQ(ReadIndexFile(world("staidx0.mul")).at(2, 1).Offset, -1);
    EXPECT_TRUE(Contains(items(), "\tNAME #\r\n\tID 3821\r\n\tX 11\r\n\tY 15\r\n\tZ -5\r\n"));
    EXPECT_TRUE(items().ends_with("}\r\n\r\nEOF\r\n"));
    // Melting changes no control: the next melt or a freeze can follow at once.
    EXPECT_TRUE(mainButton("MeltBlockButton").isEnabled());
    EXPECT_TRUE(mainControl("SelectItemsRadioGroup").isEnabled());
    EXPECT_TRUE(mainControl("WritePATCheckBox").isEnabled());

    logList().clear();
    freeze();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(logLines().front(),
              "Freezing in progress... Loamwright may look crashed, do not interrupt!");
    EXPECT_EQ(logLines().back(), "Freezing completed!");
    EXPECT_EQ(+ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), 1, 1).size(), 2u);
    EXPECT_EQ(+ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), 1, 1)[1].Color,
              0x0481);
    EXPECT_EQ(+ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), 2, 1).size(), 1u);
    EXPECT_FALSE(Contains(items(), "SECTION"));
    EXPECT_TRUE(program_->context().state.FreezeDone);
    EXPECT_EQ(mainControl<gui::ProgressBar>("ProgressBar").value(), 100);
    expectFreezeControlsOff();
    EXPECT_TRUE(mainButton("MeltBlockButton").isEnabled());
}

TEST_F(MeltFreezeFormTest, AutoReadsAutoSelectFromTheProgramFolder) {
    const std::string rock = Item(1, 8, 40, "NAME #\r\nCONT -1\r\nTYPE 0\r\n");
    const std::string other = Item(2, 16, 40, "NAME #\r\nCONT -1\r\nTYPE 0\r\n", 0x1234);
    open(rock + other);
    QRadioButton* automatic = mainControl("SelectItemsRadioGroup").findChildren<QRadioButton*>()[1];
    automatic->click();
    ASSERT_EQ(automatic->text(), "auto");
    ASSERT_TRUE(automatic->isChecked());

    // Without the list beside the program nothing happens but the error.
    const auto before = Snapshot(worldDir_.path());
    freeze();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Datei nicht gefunden"});
    ExpectSameFiles(Snapshot(worldDir_.path()), before);
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_FALSE(program_->context().state.FreezeDone);
    expectFreezeControlsOff();

    WriteWholeFile(programDir_.file("AutoSelect.txt"), "# rocks\r\n\r\n0E ED rock\r\n");
    freeze();
    EXPECT_EQ(dialogs_.errors().size(), 1u);
    EXPECT_TRUE(logLines().contains("Selecting item for export: 1"));
    EXPECT_FALSE(logLines().contains("Selecting item for export: 2"));
    EXPECT_EQ(+ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), 1, 5).size(), 1u);
    EXPECT_FALSE(Contains(items(), "SECTION WORLDITEM 1\r\n"));
    EXPECT_TRUE(Contains(items(), "SECTION WORLDITEM 2\r\n"));
}

TEST_F(MeltFreezeFormTest, WritePatAsksForThePatchFileAndAppendsOnlyWhenAllowed) {
    open(Item(1, 8, 40));
    mainControl<QCheckBox>("WritePATCheckBox").click();
    const auto unchanged = [&](const char* step) {
        SCOPED_TRACE(step);
        const auto before = Snapshot(worldDir_.path());
        const qsizetype logSize = logLines().size();
        freeze();
        ExpectSameFiles(Snapshot(worldDir_.path()), before);
        EXPECT_EQ(logLines().size(), logSize);
        expectFreezeControlsOff();
    };

    dialogs_.fileAnswers = {""};
    unchanged("cancelled");
    EXPECT_FALSE(program_->context().state.FreezeDone);
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs_.fileRequests[0].title, "Save or append the patch to");
    EXPECT_EQ(dialogs_.fileRequests[0].defaultSuffix, "PAT");
    EXPECT_TRUE(dialogs_.messages.empty());

    // A new patch file: no question.
    dialogs_.fileAnswers = {Q(patch())};
    freeze();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_TRUE(logLines().contains("Appending to PAT-File... XBlock: 1 YBlock: 5"));
    EXPECT_TRUE(ReadWholeFile(patch()).starts_with("SECTION WORLDITEM 2\r\n"));
    EXPECT_EQ(items(), "");

    // An existing one: append only on Yes.
    WriteWholeFile(world("statics.cfg"), Item(7, 9, 41));
    dialogs_.fileAnswers = {Q(patch())};
    dialogs_.answers = {Button::No};
    unchanged("declined");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    const gui::MessageRequest& question = dialogs_.messages[0];
    EXPECT_EQ(question.title, Q("Append to " + patch() + "?"));
    EXPECT_EQ(question.text, Q("Do you want to append new items to " + patch() +
                               "? All old items will remain in this file."));
    EXPECT_EQ(question.buttons, (std::vector{Button::Yes, Button::No}));
    EXPECT_EQ(dialogs_.fileRequests.back().initialPath, Q(patch())); // the dialog keeps its name

    dialogs_.fileAnswers = {Q(patch())};
    dialogs_.answers = {Button::Yes};
    freeze();
    EXPECT_EQ(logLines().back(), "Freezing completed!");
    EXPECT_TRUE(Contains(ReadWholeFile(patch()), "SECTION WORLDITEM 3\r\n"));
    EXPECT_TRUE(Contains(ReadWholeFile(patch()), "SECTION WORLDITEM 2\r\n"));
    EXPECT_EQ(items(), "");

    // The item file under another letter case is refused before the question.
    WriteWholeFile(world("statics.cfg"), Item(8, 9, 41));
    dialogs_.messages.clear();
    dialogs_.fileAnswers = {Q(world("STATICS.CFG"))};
    unchanged("the item file");
    EXPECT_EQ(dialogs_.errors(),
              std::vector<QString>{"The WSC and the PAT file cannot be the same!"});
    EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_F(MeltFreezeFormTest, SimpleModeFinishesWithItsLastGuidance) {
    open(Item(1, 8, 40), 1);
    auto& guidance = mainControl<gui::LineList>("MainListBox");
    EXPECT_EQ(guidance.lines(), GuidanceLines(GuidanceStep::Freeze));
    EXPECT_FALSE(mainButton("MeltBlockButton").isEnabled());
    freeze();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(logLines().back(), "Freezing completed!");
    EXPECT_EQ(guidance.lines(), GuidanceLines(GuidanceStep::Finished));
    EXPECT_FALSE(mainButton("FreezeWorldButton").isEnabled());
    EXPECT_FALSE(mainControl("SelectItemsRadioGroup").isEnabled());
    EXPECT_FALSE(mainControl("WritePATCheckBox").isEnabled());
    EXPECT_EQ(+ReadBlockRecords(world("staidx0.mul"), world("statics0.mul"), 1, 5).size(), 1u);
}

TEST_F(MeltFreezeFormTest, AnInvalidTagIsShownChangesNothingAndTheWindowStaysUsable) {
    const std::string good = Item(1, 8, 40);
    open(good + Item(4, 16, 40, "CONT -1\r\nTYPE 255\r\n", 70000));
    const auto before = Snapshot(worldDir_.path());
    freeze();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Invalid tag after \"SECTION WORLDITEM 4\""});
    ExpectSameFiles(Snapshot(worldDir_.path()), before);
    EXPECT_FALSE(logLines().contains("Freezing completed!"));
    EXPECT_FALSE(program_->context().state.FreezeDone);
    expectFreezeControlsOff();
    EXPECT_FALSE(program_->context().busy.busy());

    WriteWholeFile(world("statics.cfg"), good);
    freeze();
    EXPECT_EQ(dialogs_.errors().size(), 1u);
    EXPECT_EQ(logLines().back(), "Freezing completed!");
    EXPECT_EQ(items(), "");
}

} // namespace
} // namespace lw::test
