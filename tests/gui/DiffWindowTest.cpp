// The diff window driven as a user would: its areas and texts, the six fields and the control
// states in both modes, the check boxes, generating and applying with scripted dialogs, the
// refusal of other diff files, and errors.
#include "gui/DiffWindow.h"

#include "UiFixture.h"
#include "diff/DiffInfo.h"
#include "diff/GenerateDiff.h"
#include "gui/ProgressWindow.h"
#include "gui/widgets/LineList.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/ProgressBar.h"
#include "restore/RestorePoints.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <set>

namespace lw::test {
namespace {

using gui::FieldState;

struct Paths {
    std::string staidx, statics, map;
};

void PutMapBlock(const std::string& map, int blockX, int blockY, char fill) {
    File file = File::OpenReadWrite(map);
    file.seek(MapBlockOffset(blockX, blockY));
    const std::string block(kMapBlockSize, fill);
    file.write(block.data(), block.size());
    file.close();
}

std::string MapBlock(const std::string& map, int blockX, int blockY) {
    File file = File::OpenRead(map);
    file.seek(MapBlockOffset(blockX, blockY));
    std::string block(kMapBlockSize, '\0');
    file.readExact(block.data(), block.size());
    file.close();
    return block;
}

std::vector<std::uint16_t> Ids(const std::vector<TStaticRec>& records) {
    std::vector<std::uint16_t> ids;
    for (const TStaticRec& record : records)
        ids.push_back(std::uint16_t{record.ID});
    return ids;
}

TStaticRec Rec(std::uint16_t id) {
    return {id, 1, 2, 3, 0};
}

// What the windows showed while an operation ran, sampled at every move of the progress
// window's bar.
struct RunWatch {
    std::set<QString> captions;
    bool diffWindowEverEnabled = false;
    bool progressWindowEverHidden = false;
    int samples = 0;
    std::vector<int> mainBar;
};

class LWDiffFormTest : public UiTest {
protected:
    void startInMode(int mode) {
        settings_.put("Mode", mode);
        start();
        ProgressWindow& progress = program_->progressForm();
        const auto& stage = Find<QLabel>(progress, "ProgressLabel");
        QObject::connect(&Find<gui::ProgressBar>(progress, "ProgressBar"),
                         &gui::ProgressBar::valueChanged, [this, &progress, &stage] {
                             ++watch_.samples;
                             watch_.captions.insert(stage.text());
                             watch_.diffWindowEverEnabled |= diff().isEnabled();
                             watch_.progressWindowEverHidden |= !progress.isVisible();
                         });
        QObject::connect(&mainControl<gui::ProgressBar>("ProgressBar"),
                         &gui::ProgressBar::valueChanged,
                         [this](int value) { watch_.mainBar.push_back(value); });
    }
    DiffWindow& diff() { return program_->diffForm(); }
    template <class W = QWidget> W& control(const char* name) { return Find<W>(diff(), name); }
    QLineEdit& edit(const char* name) { return control<QLineEdit>(name); }
    QPushButton& button(const char* name) { return control<QPushButton>(name); }

    Paths folder(const std::string& name) {
        QDir().mkpath(Q(world(name)));
        return {world(name + "/staidx0.mul"), world(name + "/statics0.mul"),
                world(name + "/map0.mul")};
    }
    // Files that pass the fields' checks but hold no world.
    Paths emptyFiles(const std::string& name) {
        const Paths paths = folder(name);
        for (const std::string& path : {paths.staidx, paths.statics, paths.map})
            WriteWholeFile(path, "");
        return paths;
    }
    Paths fullSizeWorld(const std::string& name) {
        const Paths paths = folder(name);
        MakeEmptyStatics(paths.staidx, paths.statics);
        MakeSparseMap(paths.map);
        return paths;
    }
    void storeDiffPaths(const Paths& original, const Paths& modified) {
        const std::pair<const char*, std::string> values[] = {
            {"O-StaIdx0.mul", original.staidx}, {"O-Statics0.mul", original.statics},
            {"O-Map0.mul", original.map},       {"StaIdx0.mul", modified.staidx},
            {"Statics0.mul", modified.statics}, {"Map0.mul", modified.map}};
        for (const auto& [name, path] : values)
            settings_.put(name, Q(path));
    }
    // Shows the window again, as the main window's button does, so it reads the stored paths.
    void showDiff() {
        diff().hide();
        diff().show();
    }
    std::vector<bool> actionControls() {
        return {control<QCheckBox>("StaticsCheckBox").isEnabled(),
                control<QCheckBox>("MapCheckBox").isEnabled(), button("GenerateButton").isEnabled(),
                button("ApplyButton").isEnabled()};
    }
    std::vector<FieldState> fieldStates() {
        std::vector<FieldState> states;
        for (const char* name :
             {"OStaIdxEdit", "OStaticsEdit", "OMapEdit", "MStaIdxEdit", "MStaticsEdit", "MMapEdit"})
            states.push_back(gui::PathFieldState(edit(name)));
        return states;
    }
    void generate(const std::string& diffPath) {
        dialogs_.fileAnswers = {Q(diffPath)};
        QTest::mouseClick(&button("GenerateButton"), Qt::LeftButton);
    }
    void apply(const std::string& diffPath) {
        dialogs_.fileAnswers = {Q(diffPath)};
        QTest::mouseClick(&button("ApplyButton"), Qt::LeftButton);
    }
    void showChanges(const std::string& diffPath) {
        dialogs_.fileAnswers = {Q(diffPath)};
        QTest::mouseClick(&button("ShowChangesButton"), Qt::LeftButton);
    }
    // After a run: the progress window is gone and this window takes clicks again.
    void expectUsableAfterRun() {
        EXPECT_FALSE(program_->progressForm().isVisible());
        EXPECT_TRUE(diff().isEnabled());
        EXPECT_FALSE(watch_.diffWindowEverEnabled);
        EXPECT_FALSE(watch_.progressWindowEverHidden);
    }

    RunWatch watch_;
};

const std::vector<bool> kAllOn(4, true);
const std::vector<bool> kAllOff(4, false);
const std::vector<FieldState> kAllGreen(6, FieldState::Valid);

TEST_F(LWDiffFormTest, CreatedWithItsAreasTextsAndStates) {
    startInMode(0);
    DiffWindow& d = diff();
    EXPECT_EQ(d.windowTitle(), "LW-Diff");
    EXPECT_EQ(d.size(), QSize(457, 361));
    EXPECT_EQ(control<QGroupBox>("GenerateSelectGroupBox").title(), "Generate diff for");
    EXPECT_EQ(control<QCheckBox>("StaticsCheckBox").text(), "StaIdx0.mul + Statics0.mul");
    EXPECT_EQ(control<QCheckBox>("MapCheckBox").text(), "Map0.mul");
    EXPECT_EQ(control<QGroupBox>("ButtonGroupBox").title(), "Select an action");
    EXPECT_EQ(button("GenerateButton").text(), "Generate Diff");
    EXPECT_EQ(button("ApplyButton").text(), "Apply Diff");
    EXPECT_EQ(button("ShowChangesButton").text(), "Show changes");
    EXPECT_TRUE(control<QCheckBox>("StaticsCheckBox").isChecked());
    EXPECT_TRUE(control<QCheckBox>("MapCheckBox").isChecked());
    EXPECT_EQ(actionControls(), (std::vector<bool>{true, true, false, false}));
    EXPECT_TRUE(button("ShowChangesButton").isEnabled()); // it only reads
    EXPECT_EQ(control<QLabel>("StaIdxLabel").text(), "StaIdx0.mul");
    EXPECT_EQ(control<QLabel>("StaticsLabel").text(), "Statics0.mul");
    EXPECT_EQ(control<QLabel>("MapLabel").text(), "Map0.mul");
    EXPECT_EQ(control<QLabel>("OriginalLabel").text(), "Original files");
    EXPECT_EQ(control<QLabel>("ModifiedLabel").text(), "Modified files");
    EXPECT_FALSE(edit("MStaIdxEdit").isEnabled());
    EXPECT_FALSE(edit("MStaticsEdit").isEnabled());
    EXPECT_TRUE(edit("MMapEdit").isEnabled());
    EXPECT_EQ(edit("OMapEdit").text(), "OMapEdit");

    const QStringList help = control<gui::LineList>("LWDiffListBox").lines();
    ASSERT_EQ(help.size(), 35);
    EXPECT_EQ(help[0], "LW-Diff is used to write a file that allows players on public shrads to");
    EXPECT_EQ(help[2], "The shrad operators use the \"Generate\"-function to build this file.");
    EXPECT_EQ(help[4], "");
    EXPECT_EQ(help[13], "  Original OSI statics: 0D C2 9C 5A");
    EXPECT_EQ(help[20], "  3. Generating a CRC value for the original ");
    EXPECT_EQ(help[23], "      Map0.mul");
    EXPECT_EQ(help[25], "  6. Saveing the index of the LWD file");
    EXPECT_EQ(help[34], "  5. Writing the modified index");

    // Across the original row, then across the modified row.
    const QWidget* order[] = {&edit("OStaIdxEdit"), &edit("OStaticsEdit"), &edit("OMapEdit"),
                              &edit("MStaIdxEdit"), &edit("MStaticsEdit"), &edit("MMapEdit")};
    for (int i = 0; i + 1 < 6; ++i)
        EXPECT_EQ(order[i]->nextInFocusChain(), order[i + 1]) << i;

    // The three areas stack without gaps, and every control fits inside its area.
    d.show();
    // The configuration holds two rows of actions.
    EXPECT_EQ(control("ConfigurationPanel").geometry(), QRect(0, 0, 457, 73));
    EXPECT_EQ(control("FileNamePanel").geometry(), QRect(0, 361 - 77, 457, 77));
    EXPECT_EQ(control<gui::LineList>("LWDiffListBox").geometry(), QRect(0, 73, 457, 361 - 73 - 77));
    // Each part level with a row of actions, the first column's two actions edge to edge.
    const QRect generateAt = button("GenerateButton").geometry();
    const QRect showAt = button("ShowChangesButton").geometry();
    EXPECT_EQ(button("ApplyButton").geometry().top(), generateAt.top());
    EXPECT_EQ(showAt.left(), generateAt.left());
    EXPECT_EQ(showAt.width(), generateAt.width());
    EXPECT_GT(showAt.top(), generateAt.bottom());
    EXPECT_LE(
        std::abs(control("StaticsCheckBox").geometry().center().y() - generateAt.center().y()), 1);
    EXPECT_LE(std::abs(control("MapCheckBox").geometry().center().y() - showAt.center().y()), 1);
    for (const QWidget* control : d.findChildren<QWidget*>()) {
        if (control->parentWidget() == nullptr || !control->isVisibleTo(&d))
            continue;
        const QRect inParent = control->geometry();
        EXPECT_TRUE(control->parentWidget()->rect().contains(inParent))
            << control->objectName().toStdString();
        const std::string name = control->objectName().toStdString();
        if (qobject_cast<const QPushButton*>(control) || qobject_cast<const QLineEdit*>(control)) {
            EXPECT_GE(inParent.height(), control->minimumSizeHint().height()) << name;
        }
        // No caption is cut off.
        if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            EXPECT_GE(inParent.width(), button->fontMetrics().horizontalAdvance(button->text()) + 8)
                << name;
        } else if (qobject_cast<const QAbstractButton*>(control) ||
                   qobject_cast<const QLabel*>(control)) {
            EXPECT_GE(inParent.width(), control->sizeHint().width()) << name;
        }
    }
}

TEST_F(LWDiffFormTest, FieldsAreGreenOnlyForAnExistingFileOfTheirColumn) {
    const Paths set = emptyFiles("set");
    WriteWholeFile(world("set/StaIdx0.MUL"), "");
    WriteWholeFile(world("set/MAP0.mul"), "");
    QDir().mkpath(Q(world("folder/statics0.mul")));
    startInMode(0);
    diff().show();
    struct Case {
        QLineEdit* field;
        std::string path;
        bool green;
    };
    const Case cases[] = {
        {&edit("OStaIdxEdit"), "set/StaIdx0.MUL", true},
        {&edit("OStaIdxEdit"), "set/statics0.mul", false}, // a file of another column
        {&edit("OStaIdxEdit"), "missing/staidx0.mul", false},
        {&edit("OStaticsEdit"), "folder/statics0.mul", false},
        {&edit("OStaticsEdit"), "set/statics0.mul", true},
        {&edit("OMapEdit"), "set/MAP0.mul", true},
        {&edit("MMapEdit"), "set/map0.mul", true},
        {&edit("MMapEdit"), "set/map0.mul.bak", false},
        {&edit("MStaIdxEdit"), "set/staidx0.mul", true},
        {&edit("MStaticsEdit"), "set", false},
    };
    for (const Case& c : cases) {
        // The disabled fields take no typing; their texts come from the store or from code.
        if (c.field->isEnabled())
            typeInto(*c.field, Q(world(c.path)));
        else
            c.field->setText(Q(world(c.path)));
        EXPECT_EQ(gui::IsGreen(*c.field), c.green) << c.path;
        EXPECT_EQ(c.field->palette().color(QPalette::Base),
                  c.green ? QColor(0, 128, 0) : QColor(255, 0, 0))
            << c.path;
    }
    EXPECT_TRUE(dialogs_.messages.empty()); // a bad path shows only as a red field
}

TEST_F(LWDiffFormTest, FirstUseShowsTheMainWindowsFilesAndARedOriginalRow) {
    const Paths working = emptyFiles("working");
    settings_.put("Map0.mul", Q(working.map)); // as the map editor stores it
    startInMode(0);
    typeInto(mainEdit("StaIdxEdit"), Q(working.staidx));
    typeInto(mainEdit("StaticsEdit"), Q(working.statics));

    // Opened with the main window's button, as the user does.
    std::vector<FieldState> states;
    dialogs_.onModal = [&](QDialog& window) {
        window.show();
        states = fieldStates();
        EXPECT_EQ(edit("OStaIdxEdit").text(), "");
        EXPECT_EQ(edit("MStaIdxEdit").text(), Q(working.staidx));
        EXPECT_EQ(edit("MStaticsEdit").text(), Q(working.statics));
        EXPECT_EQ(edit("MMapEdit").text(), Q(working.map));
        // The parts stay as created until all six fields are valid.
        EXPECT_EQ(actionControls(), (std::vector<bool>{true, true, false, false}));
        window.hide();
    };
    QTest::mouseClick(&mainButton("LWDiffButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs_.modalWindows, std::vector<QString>{"TLWDiffForm"});
    EXPECT_EQ(states, (std::vector<FieldState>{FieldState::Invalid, FieldState::Invalid,
                                               FieldState::Invalid, FieldState::Valid,
                                               FieldState::Valid, FieldState::Valid}));
    EXPECT_TRUE(settings_.get("O-StaIdx0.mul").isNull()); // nothing stored until all are valid
}

TEST_F(LWDiffFormTest, ControlStatesAndStoredPathsFollowTheFieldsInBothModes) {
    const Paths original = emptyFiles("original");
    const Paths modified = emptyFiles("modified");
    const Paths other = emptyFiles("other");
    struct Mode {
        int mode;
        std::vector<bool> allValid; // check boxes, Generate, Apply, Show changes
    };
    for (const Mode& m : {Mode{0, kAllOn}, Mode{1, {false, false, false, true}}}) {
        program_.reset();
        storeDiffPaths(original, modified);
        startInMode(m.mode);
        diff().show();
        EXPECT_EQ(fieldStates(), kAllGreen);
        EXPECT_EQ(actionControls(), m.allValid) << m.mode;

        // Each change that leaves all six valid is stored at once.
        typeInto(edit("MMapEdit"), Q(other.map));
        EXPECT_EQ(settings_.get("Map0.mul").toString(), Q(other.map));
        EXPECT_EQ(actionControls(), m.allValid);

        // A red field takes the actions away again; the store keeps the last valid set.
        typeInto(edit("OStaticsEdit"), Q(world("original/statics0.mu")));
        EXPECT_EQ(actionControls(), kAllOff) << m.mode;
        EXPECT_TRUE(button("ShowChangesButton").isEnabled()) << m.mode;
        EXPECT_EQ(settings_.get("O-Statics0.mul").toString(), Q(original.statics));
        typeInto(edit("OStaticsEdit"), Q(other.statics));
        EXPECT_EQ(actionControls(), m.allValid);
        EXPECT_EQ(settings_.get("O-Statics0.mul").toString(), Q(other.statics));
        EXPECT_FALSE(edit("MStaIdxEdit").isEnabled());
        EXPECT_FALSE(edit("MStaticsEdit").isEnabled());
    }
}

TEST_F(LWDiffFormTest, OneOfTheTwoPartsStaysChecked) {
    storeDiffPaths(emptyFiles("original"), emptyFiles("modified"));
    startInMode(0);
    diff().show();
    QCheckBox& statics = control<QCheckBox>("StaticsCheckBox");
    QCheckBox& map = control<QCheckBox>("MapCheckBox");
    QTest::mouseClick(&statics, Qt::LeftButton);
    EXPECT_FALSE(statics.isChecked());
    EXPECT_TRUE(map.isChecked());
    // Unchecking the only checked box moves the check to the other one.
    QTest::mouseClick(&map, Qt::LeftButton);
    EXPECT_FALSE(map.isChecked());
    EXPECT_TRUE(statics.isChecked());
    QTest::mouseClick(&map, Qt::LeftButton);
    EXPECT_TRUE(map.isChecked());
    EXPECT_TRUE(statics.isChecked());
}

TEST_F(LWDiffFormTest, AFileThatIsNoLw2IsRefusedAndNothingIsRead) {
    storeDiffPaths(emptyFiles("original"), emptyFiles("modified"));
    startInMode(1);
    diff().show();
    for (const char* name : {"world.lwd", "WORLD.LWD", "world", "world.lw2.txt"}) {
        dialogs_.messages.clear();
        // The file does not even exist: reading it would end in an error box.
        apply(world(name));
        ASSERT_EQ(dialogs_.messages.size(), 1u) << name;
        const gui::MessageRequest& box = dialogs_.messages[0];
        EXPECT_EQ(box.text, "You can't apply this file! If you want to apply a .lwd file, "
                            "please use Loamwright 5.");
        EXPECT_EQ(box.icon, gui::MessageIcon::Error);
        EXPECT_EQ(box.buttons, std::vector{gui::MessageButton::Cancel});
        EXPECT_TRUE(diff().isEnabled());
        EXPECT_TRUE(button("ApplyButton").isEnabled());
    }
    EXPECT_EQ(watch_.samples, 0);

    // A cancelled dialog does nothing at all.
    dialogs_.messages.clear();
    apply("");
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.fileRequests.back().filter, "LW-Diff file (Version 2) (*.lw2)");
    EXPECT_TRUE(button("ApplyButton").isEnabled());
}

TEST_F(LWDiffFormTest, AnErrorIsShownAndTheWindowStaysUsable) {
    storeDiffPaths(emptyFiles("original"), emptyFiles("modified"));
    WriteWholeFile(world("bad.lw2"), "not a diff");
    startInMode(0);
    diff().show();

    apply(world("bad.lw2"));
    ASSERT_EQ(dialogs_.errors().size(), 1u);
    expectUsableAfterRun();
    EXPECT_EQ(actionControls(), kAllOn);

    // Generating from files that hold no world fails too, and leaves no diff file behind.
    generate(world("out.lw2"));
    ASSERT_EQ(dialogs_.errors().size(), 2u);
    ASSERT_EQ(dialogs_.fileRequests.size(), 2u);
    const gui::FileDialogRequest& open = dialogs_.fileRequests[0];
    const gui::FileDialogRequest& save = dialogs_.fileRequests[1];
    for (const gui::FileDialogRequest* dialog : {&save, &open}) {
        EXPECT_EQ(dialog->filter, "LW-Diff file (Version 2) (*.lw2)");
        EXPECT_TRUE(dialog->hideReadOnly);
        EXPECT_TRUE(dialog->pathMustExist);
    }
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_EQ(save.defaultSuffix, "lw2"); // a bare name can be applied later
    EXPECT_EQ(open.defaultSuffix, "lwd");
    EXPECT_FALSE(FileExists(world("out.lw2")));
    expectUsableAfterRun();
    EXPECT_EQ(actionControls(), kAllOn);
    EXPECT_EQ(FileFaults::OpenHandles(), 0);

    // The same button works again: the run is not stuck as busy.
    apply(world("bad.lw2"));
    EXPECT_EQ(dialogs_.errors().size(), 3u);
}

TEST_F(LWDiffFormTest, GeneratesADiffAndAPlayerAppliesIt) {
    // The operator's original and modified worlds, and a player's copy of the original.
    const Paths original = fullSizeWorld("original");
    const Paths modified = fullSizeWorld("modified");
    const Paths player = fullSizeWorld("player");
    for (const Paths& set : {original, player}) {
        PutStaticBlock(set.staidx, set.statics, 1, 0, {Rec(0x10)});
        PutStaticBlock(set.staidx, set.statics, 2, 0, {Rec(0x20)});
        PutMapBlock(set.map, 3, 3, 1);
    }
    PutStaticBlock(modified.staidx, modified.statics, 1, 0, {Rec(0x10)});
    PutStaticBlock(modified.staidx, modified.statics, 2, 0, {Rec(0x20), Rec(0x21)});
    PutStaticBlock(modified.staidx, modified.statics, 700, 500, {Rec(0x30)});
    PutMapBlock(modified.map, 3, 3, 1);
    PutMapBlock(modified.map, 767, 511, 7);

    // The player has loaded the index of the files the diff will be applied to.
    WriteWholeFile(world("player/statics.cfg"), "");
    settings_.put("StaIdx0.mul", Q(player.staidx));
    settings_.put("Statics0.mul", Q(player.statics));
    settings_.put("UOX3.wsc", Q(world("player/statics.cfg")));
    startInMode(0);
    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    ASSERT_TRUE(program_->context().state.StaticIndexLoaded);
    const StaticIndexTable playerIndexBefore = program_->context().state.StaticIndex;

    storeDiffPaths(original, modified);
    showDiff();
    ASSERT_EQ(fieldStates(), kAllGreen);
    // The checksum boxes are part of the run: the progress window is still up behind them.
    std::vector<bool> progressUpAtBox;
    dialogs_.onMessage = [&](const gui::MessageRequest&) {
        progressUpAtBox.push_back(program_->progressForm().isVisible());
    };
    watch_ = {};
    // The run ends by showing the controls anew, which stores nothing.
    settings_.put("O-Map0.mul", "elsewhere/map0.mul");
    generate(world("world.lw2"));
    EXPECT_EQ(settings_.get("O-Map0.mul").toString(), "elsewhere/map0.mul");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(progressUpAtBox, std::vector<bool>{true});
    EXPECT_EQ(dialogs_.messages[0].title, "CRC value");
    EXPECT_TRUE(QRegularExpression("^The original statics file has a CRC value of "
                                   "[0-9A-F]{2} [0-9A-F]{2} [0-9A-F]{2} [0-9A-F]{2}\\.$")
                    .match(dialogs_.messages[0].text)
                    .hasMatch())
        << dialogs_.messages[0].text.toStdString();
    EXPECT_NE(dialogs_.messages[0].text.right(12), "00 00 00 00.");
    EXPECT_EQ(dialogs_.messages[0].buttons, std::vector{gui::MessageButton::Ok});
    EXPECT_TRUE(dialogs_.fileRequests[0].confirmOverwrite);
    EXPECT_TRUE(FileExists(world("world.lw2")));
    expectUsableAfterRun();
    EXPECT_EQ(watch_.captions,
              (std::set<QString>{"Generating Diff (Statics)", "Generating Diff (Statics index)",
                                 "Generating Diff (Map)", "Generating Diff (Map index)"}));
    ASSERT_FALSE(watch_.mainBar.empty());
    EXPECT_EQ(watch_.mainBar.back(), 100);

    // Without the statics part the box shows four pairs of zeros.
    QTest::mouseClick(&control<QCheckBox>("StaticsCheckBox"), Qt::LeftButton);
    generate(world("map-only.lw2"));
    EXPECT_EQ(dialogs_.messages.back().text,
              "The original statics file has a CRC value of 00 00 00 00.");

    // A player whose original is another one gets the checksum box, and nothing changes.
    const std::string playerIndexFile = ReadWholeFile(player.staidx);
    const std::string playerStatics = ReadWholeFile(player.statics);
    storeDiffPaths(modified, player);
    showDiff();
    dialogs_.messages.clear();
    apply(world("world.lw2"));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].title, "CRC error!");
    EXPECT_EQ(progressUpAtBox, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(program_->progressForm().isVisible());
    EXPECT_TRUE(
        dialogs_.messages[0].text.startsWith("The CRC value of your orginal statics file ("));
    EXPECT_EQ(ReadWholeFile(player.staidx), playerIndexFile);
    EXPECT_EQ(ReadWholeFile(player.statics), playerStatics);
    EXPECT_EQ(MapBlock(player.map, 767, 511), std::string(kMapBlockSize, '\0'));
    EXPECT_TRUE(program_->context().state.StaticIndex == playerIndexBefore);

    // With the right original the player's files become the modified world.
    storeDiffPaths(original, player);
    showDiff();
    dialogs_.messages.clear();
    watch_ = {};
    apply(world("world.lw2"));
    EXPECT_TRUE(dialogs_.messages.empty()); // a successful application says nothing
    expectUsableAfterRun();
    EXPECT_TRUE(watch_.captions.count("Applying Diff (Creating statics)"));
    EXPECT_TRUE(watch_.captions.count("Applying Diff (Creating map)"));
    EXPECT_EQ(MapBlock(player.map, 767, 511), std::string(kMapBlockSize, '\7'));
    EXPECT_EQ(MapBlock(player.map, 3, 3), std::string(kMapBlockSize, '\1'));
    EXPECT_EQ(Ids(ReadBlockRecords(player.staidx, player.statics, 1, 0)),
              std::vector<std::uint16_t>{0x10});
    EXPECT_EQ(Ids(ReadBlockRecords(player.staidx, player.statics, 2, 0)),
              (std::vector<std::uint16_t>{0x20, 0x21}));
    EXPECT_EQ(Ids(ReadBlockRecords(player.staidx, player.statics, 700, 500)),
              std::vector<std::uint16_t>{0x30});

    // The loaded index is the table just written, so a later melt or freeze keeps it.
    EXPECT_TRUE(program_->context().state.StaticIndex == ReadIndexFile(player.staidx));
    EXPECT_FALSE(program_->context().state.StaticIndex == playerIndexBefore);
    EXPECT_TRUE(dialogs_.errors().empty());
    EXPECT_EQ(FileFaults::OpenHandles(), 0);
}

QStringList Lines(const DiffInfo& info) {
    QStringList lines;
    for (const std::string& line : DiffInfoLines(info))
        lines.push_back(QString::fromStdString(line));
    return lines;
}

TEST_F(LWDiffFormTest, APlayerLooksAtWhatADiffChangesBeforeApplyingIt) {
    const Paths original = fullSizeWorld("original");
    const Paths modified = fullSizeWorld("modified");
    const Paths player = fullSizeWorld("player");
    for (const Paths& set : {original, player})
        PutStaticBlock(set.staidx, set.statics, 2, 0, {Rec(0x20)});
    PutStaticBlock(modified.staidx, modified.statics, 2, 0, {Rec(0x20), Rec(0x21)});
    PutMapBlock(modified.map, 767, 511, 7);
    NullDiffProgress quiet;
    ASSERT_FALSE(GenerateDiff({original.staidx, original.statics, original.map},
                              {modified.staidx, modified.statics, modified.map}, world("world.lw2"),
                              {}, quiet)
                     .message.empty());
    WriteWholeFile(world("bad.lw2"), "not a diff");
    const std::string playerStatics = ReadWholeFile(player.statics);

    storeDiffPaths(original, player);
    startInMode(1); // a player's Simple mode
    diff().show();
    ASSERT_TRUE(button("ShowChangesButton").isEnabled());
    showChanges(world("world.lw2"));
    ASSERT_EQ(dialogs_.textWindows.size(), 1u);
    const gui::TextRequest& shown = dialogs_.textWindows[0];
    EXPECT_EQ(shown.title, "Changes in world.lw2");
    EXPECT_EQ(shown.textName, "DiffInfoText");
    // The look includes the fit to the original row, block by block.
    NullProgress none;
    const WorldFileSet originals{original.staidx, original.statics, original.map};
    EXPECT_EQ(shown.lines, Lines(ReadDiffInfo(world("world.lw2"), originals, none)));
    EXPECT_TRUE(shown.lines.contains("fits the originals: yes"));
    EXPECT_NE(shown.lines, Lines(ReadDiffInfo(world("world.lw2"), std::nullopt, none)));
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(ReadWholeFile(player.statics), playerStatics); // looking applies nothing

    // It asks as the application does: beside the modified files at first, then where the last
    // diff came from.
    apply("");
    ASSERT_EQ(dialogs_.fileRequests.size(), 2u);
    EXPECT_EQ(dialogs_.fileRequests[0].initialPath, Q(world("player")));
    EXPECT_EQ(dialogs_.fileRequests[1].initialPath, Q(worldDir_.path()));
    for (const gui::FileDialogRequest& request : dialogs_.fileRequests) {
        EXPECT_EQ(request.filter, "LW-Diff file (Version 2) (*.lw2)");
        EXPECT_TRUE(request.pathMustExist);
    }

    // A damaged diff shows its damage as the look's own lines, not as an error.
    showChanges(world("bad.lw2"));
    ASSERT_EQ(dialogs_.textWindows.size(), 2u);
    const QStringList damaged = dialogs_.textWindows[1].lines;
    EXPECT_EQ(damaged, Lines(ReadDiffInfo(world("bad.lw2"), originals, none)));
    EXPECT_TRUE(std::any_of(damaged.begin(), damaged.end(),
                            [](const QString& line) { return line.startsWith("damaged: "); }));
    EXPECT_TRUE(dialogs_.messages.empty());

    // A cancelled dialog shows nothing, and the window stays usable.
    showChanges("");
    EXPECT_EQ(dialogs_.textWindows.size(), 2u);
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_TRUE(diff().isEnabled());
    EXPECT_TRUE(button("ShowChangesButton").isEnabled());
    EXPECT_EQ(FileFaults::OpenHandles(), 0);

    // With a red original row it still says what the diff holds, and nothing of a fit.
    typeInto(control<QLineEdit>("OStaIdxEdit"), Q(world("missing/staidx0.mul")));
    ASSERT_TRUE(button("ShowChangesButton").isEnabled());
    showChanges(world("world.lw2"));
    ASSERT_EQ(dialogs_.textWindows.size(), 3u);
    EXPECT_EQ(dialogs_.textWindows[2].lines,
              Lines(ReadDiffInfo(world("world.lw2"), std::nullopt, none)));
}

// Its warning about blocks the game client reads only in part reaches the main window's log, and
// the files it replaced stay as a restore point beside them.
TEST_F(LWDiffFormTest, AnApplicationLogsItsLinesAndKeepsARestorePoint) {
    const Paths original = fullSizeWorld("original");
    const Paths modified = fullSizeWorld("modified");
    const Paths player = fullSizeWorld("player");
    PutStaticBlock(modified.staidx, modified.statics, 7, 3,
                   std::vector<TStaticRec>(1100, Rec(0x40)));
    PutMapBlock(modified.map, 1, 1, 2);
    NullDiffProgress quiet;
    GenerateDiff({original.staidx, original.statics, original.map},
                 {modified.staidx, modified.statics, modified.map}, world("world.lw2"), {}, quiet);

    storeDiffPaths(original, player);
    startInMode(1);
    diff().show();
    const QStringList before = mainControl<gui::LineList>("LogListBox").lines();
    apply(world("world.lw2"));
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(ReadBlockRecords(player.staidx, player.statics, 7, 3).size(), 1100u);
    EXPECT_EQ(MapBlock(player.map, 1, 1), std::string(kMapBlockSize, '\2'));
    const QStringList log = mainControl<gui::LineList>("LogListBox").lines();
    EXPECT_EQ(log.mid(0, before.size()), before);
    EXPECT_EQ(log.mid(before.size()),
              QStringList{"Warning: 1 block holds more than 1024 statics, and the most used game "
                          "client reads only the first 1024 of a block: (7, 3) with 1100."});

    const std::vector<StoredPoint> points = StoredPoints(world("player"));
    ASSERT_EQ(points.size(), 1u);
    ASSERT_TRUE(points[0].entry) << points[0].damage;
    EXPECT_EQ(points[0].entry->operation, "diff-apply");
    EXPECT_EQ(points[0].entry->commandLine, "desktop program, LW-Diff window");
    std::set<std::string> kept;
    for (const RestoreFile& file : points[0].entry->files)
        kept.insert(file.name);
    EXPECT_EQ(kept, (std::set<std::string>{"map0.mul", "staidx0.mul", "statics0.mul"}));
}

} // namespace
} // namespace lw::test
