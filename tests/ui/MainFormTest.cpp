// The main window driven as a user would: file-name fields, control states, modes, the first
// start, the block fields, loading the index and listing blocks, errors.
#include "UiFixture.h"
#include "app/MainTexts.h"
#include "app/Progress.h"
#include "app/SettingsStore.h"
#include "diff/LWDiff.h"
#include "fillclear/LWFillClear.h"
#include "mapedit/LWMapEdit.h"
#include "mapedit/LWTextureAuswahl.h"
#include "support/WorldFiles.h"
#include "ui/LineList.h"
#include "ui/PathField.h"
#include "ui/ProgressBar.h"
#include "ui/UpDown.h"
#include "util/File.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <algorithm>

namespace lw::test {
namespace {

using ui::FieldState;

class MainFormTest : public UiTest {
protected:
    void startNormal() {
        settings_.put("Mode", 0);
        start();
    }
    void startSimple() {
        settings_.put("Mode", 1);
        start();
    }
    void enterWorldPaths() {
        typeInto(*form().StaIdxEdit, Q(world("staidx0.mul")));
        typeInto(*form().StaticsEdit, Q(world("statics0.mul")));
        typeInto(*form().WSCEdit, Q(world("statics.cfg")));
    }
    QStringList mainLines() { return form().MainListBox->lines(); }
    QStringList logLines() { return form().LogListBox->lines(); }
    std::vector<bool> blockControlsEnabled() {
        TMainForm& f = form();
        return {f.X1Edit->isEnabled(),         f.X1UpDown->isEnabled(),
                f.X2Edit->isEnabled(),         f.Y1Edit->isEnabled(),
                f.Y2UpDown->isEnabled(),       f.GetStaticBlockButton->isEnabled(),
                f.MeltBlockButton->isEnabled()};
    }
};

TEST_F(MainFormTest, CreatedWithItsCaptionsTextsAndStates) {
    startNormal();
    TMainForm& f = form();
    EXPECT_EQ(f.windowTitle(), "Loamwright (Version 6a / SubVersion 3) (Normal mode)");
    EXPECT_EQ(f.size(), QSize(619, 425));
    EXPECT_EQ(f.GetStaticIndexButton->text(), "GetStaticIndex");
    EXPECT_EQ(f.MeltBlockButton->text(), "Melt!");
    EXPECT_EQ(f.FreezeWorldButton->text(), "Freeze!");
    EXPECT_EQ(f.SelectItemsRadioGroup->title(), " Freeze items ");
    EXPECT_EQ(f.SelectedItemsIndex(), 0);
    EXPECT_EQ(f.WritePATCheckBox->text(), "Write PAT");
    EXPECT_FALSE(f.WritePATCheckBox->isChecked());
    EXPECT_TRUE(f.MapEditButton->isEnabled());
    EXPECT_FALSE(f.LWDiffButton->isEnabled());
    EXPECT_EQ(f.X1UpDown->max(), 6143);
    EXPECT_EQ(f.Y2UpDown->max(), 4095);
    EXPECT_EQ(f.X1Edit->text(), "0");
    EXPECT_EQ(f.PATSaveDialog.title, "Save or append the patch to");
    EXPECT_EQ(f.PATSaveDialog.defaultSuffix, "PAT");

    // The manual stays until Simple mode replaces it, and is scrolled to its end.
    EXPECT_EQ(mainLines(), ManualLines());
    ASSERT_EQ(mainLines().size(), 31);
    EXPECT_EQ(mainLines()[3].back(), ' ');
    EXPECT_EQ(mainLines()[30], "That's it!");
    QCoreApplication::processEvents();
    const QScrollBar* bar = f.MainListBox->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    EXPECT_EQ(f.WSCLabel->text(), "statics.cfg");
    f.PolStyle->click();
    EXPECT_EQ(f.WSCLabel->text(), "items.wsc");
    f.PolStyle->click();
    EXPECT_EQ(f.WSCLabel->text(), "statics.cfg");
}

TEST_F(MainFormTest, FileNameFieldsAreValidatedOnEveryChange) {
    makeWorld();
    WriteWholeFile(world("StaIdx0.MUL"), "");
    WriteWholeFile(world("staidx1.mul"), "");
    WriteWholeFile(world("anything.txt"), "");
    QDir(Q(worldDir_.path())).mkpath("folder/statics0.mul");
    startNormal();
    TMainForm& f = form();
    struct Case {
        QLineEdit* field;
        std::string path;
        FieldState expected;
    };
    const Case cases[] = {
        {f.StaIdxEdit, "StaIdx0.MUL", FieldState::Valid},
        {f.StaIdxEdit, "staidx1.mul", FieldState::Invalid},
        {f.StaIdxEdit, "missing/staidx0.mul", FieldState::Invalid},
        {f.StaticsEdit, "folder/statics0.mul", FieldState::Invalid},
        {f.StaticsEdit, "statics0.mul", FieldState::Valid},
        {f.WSCEdit, "anything.txt", FieldState::Valid},
        {f.WSCEdit, "staidx1.mul", FieldState::Valid},
        {f.WSCEdit, "folder", FieldState::Invalid},
        {f.WSCEdit, "nothing.wsc", FieldState::Invalid},
    };
    for (const Case& c : cases) {
        typeInto(*c.field, Q(world(c.path)));
        EXPECT_EQ(ui::PathFieldState(*c.field), c.expected) << c.path;
        const QColor colour = c.field->palette().color(QPalette::Base);
        EXPECT_EQ(colour, c.expected == FieldState::Valid ? QColor(0, 128, 0) : QColor(255, 0, 0));
    }
}

TEST_F(MainFormTest, ControlStatesAndStoredPathsInNormalMode) {
    makeWorld();
    startNormal();
    TMainForm& f = form();
    const std::vector<bool> allOff(7, false);
    EXPECT_EQ(ui::PathFieldState(*f.StaIdxEdit), FieldState::Invalid); // empty stored path

    typeInto(*f.StaIdxEdit, Q(world("staidx0.mul")));
    typeInto(*f.StaticsEdit, Q(world("statics0.mul")));
    EXPECT_TRUE(f.LWDiffButton->isEnabled());
    EXPECT_TRUE(f.FillClearButton->isEnabled());
    EXPECT_FALSE(f.GetStaticIndexButton->isEnabled());
    const auto stored = SettingsStore().LoadMainSettings();
    EXPECT_EQ(stored[0], Q(world("staidx0.mul")));
    EXPECT_EQ(stored[1], Q(world("statics0.mul")));
    EXPECT_EQ(stored[2], "");

    typeInto(*f.WSCEdit, Q(world("statics.cfg")));
    EXPECT_TRUE(f.GetStaticIndexButton->isEnabled());
    EXPECT_EQ(blockControlsEnabled(), allOff);
    EXPECT_EQ(SettingsStore().LoadMainSettings()[2], Q(world("statics.cfg")));

    // Only the statics fields valid again: the stored item file is emptied, and the next start
    // shows an empty red item-file field.
    typeInto(*f.WSCEdit, Q(world("gone.cfg")));
    EXPECT_FALSE(f.GetStaticIndexButton->isEnabled());
    EXPECT_EQ(SettingsStore().LoadMainSettings()[2], "");
    program_.reset();
    start();
    EXPECT_EQ(form().WSCEdit->text(), "");
    EXPECT_EQ(ui::PathFieldState(*form().WSCEdit), FieldState::Invalid);
    EXPECT_EQ(ui::PathFieldState(*form().StaIdxEdit), FieldState::Valid);
    EXPECT_TRUE(form().SelectItemsRadioGroup->isEnabled());
    EXPECT_TRUE(form().MapEditButton->isEnabled());
}

TEST_F(MainFormTest, SimpleModeRestrictsControlsAndGuidesStepByStep) {
    makeWorld();
    startSimple();
    TMainForm& f = form();
    EXPECT_TRUE(f.windowTitle().endsWith(" (Simple mode)"));
    EXPECT_TRUE(f.SimpleModeRadioButton->isChecked());
    EXPECT_EQ(mainLines(), GuidanceLines(0));
    typeInto(*f.StaIdxEdit, Q(world("staidx0.mul")));
    EXPECT_EQ(mainLines(), GuidanceLines(1));
    typeInto(*f.StaticsEdit, Q(world("statics0.mul")));
    EXPECT_EQ(mainLines(), GuidanceLines(2));
    EXPECT_TRUE(f.LWDiffButton->isEnabled());
    EXPECT_FALSE(f.FillClearButton->isEnabled());
    EXPECT_FALSE(f.MapEditButton->isEnabled());
    EXPECT_FALSE(f.SelectItemsRadioGroup->isEnabled());
    EXPECT_FALSE(f.WritePATCheckBox->isEnabled());
    typeInto(*f.WSCEdit, Q(world("statics.cfg")));
    EXPECT_EQ(mainLines(), GuidanceLines(3));
    EXPECT_TRUE(f.GetStaticIndexButton->isEnabled());

    QTest::mouseClick(f.GetStaticIndexButton, Qt::LeftButton);
    EXPECT_EQ(mainLines(), GuidanceLines(4));
    EXPECT_TRUE(f.FreezeWorldButton->isEnabled());
    EXPECT_EQ(blockControlsEnabled(), std::vector<bool>(7, false));

    program_->context().state.FreezeDone = true;
    f.UpdateControlStates();
    f.ShowGuidance();
    EXPECT_FALSE(f.FreezeWorldButton->isEnabled());
    EXPECT_EQ(mainLines(), GuidanceLines(5));
    EXPECT_EQ(mainLines().size(), 2);
}

TEST_F(MainFormTest, FirstStartAsksForTheModeBeforeFillingTheFields) {
    makeWorld();
    settings_.put("StaIdx0.mul", Q(world("staidx0.mul")));
    for (const bool simple : {true, false}) {
        dialogs_.messages.clear();
        dialogs_.answers = {simple ? ui::MessageButton::Yes : ui::MessageButton::No};
        program_.reset();
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek",
                            "Loamwright");
            store.remove("Mode");
        }
        start();
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        const ui::MessageRequest& question = dialogs_.messages[0];
        EXPECT_EQ(question.title, "Simple mode?");
        EXPECT_EQ(question.text, SimpleModeQuestion());
        EXPECT_EQ(question.icon, ui::MessageIcon::None);
        EXPECT_EQ(question.buttons, (std::vector{ui::MessageButton::Yes, ui::MessageButton::No}));
        EXPECT_EQ(settings_.get("Mode").toInt(), simple ? 1 : 0);
        EXPECT_EQ(form().windowTitle().endsWith(" (Simple mode)"), simple);
        EXPECT_EQ(form().windowTitle().endsWith(" (Normal mode)"), !simple);
        EXPECT_EQ(form().StaIdxEdit->text(), Q(world("staidx0.mul")));
        // Choosing at start-up is no mode switch: no notice follows.
        EXPECT_EQ(dialogs_.messages.size(), 1u);
    }
    // Answered once: the next start asks nothing.
    dialogs_.messages.clear();
    program_.reset();
    start();
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MainFormTest, AnUnknownStoredModeBehavesAsNormalWithoutSuffix) {
    makeWorld();
    settings_.put("Mode", 2);
    start();
    EXPECT_EQ(form().windowTitle(), kMainCaption);
    EXPECT_TRUE(form().NormalModeRadioButton->isChecked());
    EXPECT_EQ(mainLines(), ManualLines());
    EXPECT_TRUE(form().MapEditButton->isEnabled());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MainFormTest, SwitchingModeStoresItAndTakesEffectAtTheNextStart) {
    startNormal();
    TMainForm& f = form();
    const QString caption = f.windowTitle();
    QTest::mouseClick(f.NormalModeRadioButton, Qt::LeftButton);
    EXPECT_TRUE(dialogs_.messages.empty());

    QTest::mouseClick(f.SimpleModeRadioButton, Qt::LeftButton);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].title, "Simple mode selected");
    EXPECT_EQ(dialogs_.messages[0].text,
              "The new mode will be active the next time you start Loamwright.");
    EXPECT_EQ(dialogs_.messages[0].buttons, std::vector{ui::MessageButton::Ok});
    EXPECT_EQ(settings_.get("Mode").toInt(), 1);
    EXPECT_EQ(f.windowTitle(), caption);
    EXPECT_TRUE(f.MapEditButton->isEnabled());
    EXPECT_EQ(mainLines(), ManualLines());

    QTest::mouseClick(f.NormalModeRadioButton, Qt::LeftButton);
    EXPECT_EQ(dialogs_.messages.back().title, "Normal mode selected");
    EXPECT_EQ(settings_.get("Mode").toInt(), 0);
}

TEST_F(MainFormTest, ABadModeValueOrAFailingWriteIsReportedAsAnError) {
    settings_.put("Mode", "simple");
    start();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Ungültiger Datentyp für 'Mode'"});
    EXPECT_EQ(form().StaIdxEdit->text(), "StaIdxEdit"); // the show handler ended there
    EXPECT_FALSE(form().InitializingMainWindow);

    // A settings folder that cannot be created: the mode write fails visibly.
    program_.reset();
    dialogs_.messages.clear();
    WriteWholeFile(settings_.folder() + "/blocker", "");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       Q(settings_.folder() + "/blocker/settings"));
    start();
    QTest::mouseClick(form().SimpleModeRadioButton, Qt::LeftButton);
    ASSERT_FALSE(dialogs_.errors().empty());
    EXPECT_EQ(dialogs_.errors().back(), "Fehler beim Setzen der Daten für 'Mode'");
}

TEST_F(MainFormTest, BlockFieldsClampWhileTypingAndOnLeaving) {
    makeWorld();
    startNormal();
    enterWorldPaths();
    QTest::mouseClick(form().GetStaticIndexButton, Qt::LeftButton);
    TMainForm& f = form();

    typeInto(*f.X1Edit, "7000");
    EXPECT_EQ(f.X2UpDown->min(), 7000);
    EXPECT_EQ(f.X2Edit->text(), "7000");
    f.Y1Edit->setFocus(); // leave X1
    EXPECT_EQ(f.X1Edit->text(), "6143");
    EXPECT_EQ(f.X2UpDown->min(), 6143);
    EXPECT_EQ(f.X2Edit->text(), "6143");
    EXPECT_TRUE(dialogs_.errors().empty());

    // One replaced digit takes X1 from 7500 to 7000: X2 (7500) lies above both limits of its
    // spinner and ends at the lower one.
    typeInto(*f.X1Edit, "7500");
    EXPECT_EQ(f.X2Edit->text(), "7500");
    f.X1Edit->setSelection(1, 1);
    QTest::keyClick(f.X1Edit, Qt::Key_0);
    EXPECT_EQ(f.X2UpDown->min(), 7000);
    EXPECT_EQ(f.X2Edit->text(), "7000");
    f.Y1Edit->setFocus();
    EXPECT_EQ(f.X2Edit->text(), "6143");

    typeInto(*f.X1Edit, "");
    EXPECT_TRUE(dialogs_.errors().empty()); // empty text waits for leaving
    f.Y1Edit->setFocus();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"'' ist kein gültiger Integerwert"});

    dialogs_.messages.clear();
    typeInto(*f.Y1Edit, "40000");
    EXPECT_EQ(dialogs_.errors().back(), "Fehler bei Bereichsprüfung");
    EXPECT_EQ(f.Y1Edit->text(), "40000");

    typeInto(*f.Y1Edit, "100");
    typeInto(*f.Y2Edit, "50");
    f.X2Edit->setFocus(); // leave Y2: below its lower limit
    EXPECT_EQ(f.Y2Edit->text(), "100");
    f.Y2UpDown->step(1);
    EXPECT_EQ(f.Y2Edit->text(), "101");
}

TEST_F(MainFormTest, LoadsTheIndexAndListsABlockRange) {
    makeWorld();
    PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 2, 0,
                   {{0x0EED, 3, 7, -5, 0}, {0x1234, 0, 0, 10, 0x0481}});
    PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 0, {{0x0001, 1, 2, 0, 0}});
    startNormal();
    enterWorldPaths();
    TMainForm& f = form();
    std::vector<int> bar;
    QObject::connect(f.ProgressBar, &ui::ProgressBar::valueChanged,
                     [&](int value) { bar.push_back(value); });
    QTest::mouseClick(f.GetStaticIndexButton, Qt::LeftButton);

    ASSERT_EQ(bar.size(), 100u); // every percentage from 1 (column 8) to 100, in order
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_EQ(bar.front(), 1);
    EXPECT_EQ(bar.back(), 100);
    EXPECT_EQ(logLines(), (QStringList{"Init in progress... Loamwright may look crashed, do not "
                                       "interrupt!",
                                       "Init completed!"}));
    EXPECT_TRUE(program_->context().state.StaticIndexLoaded);
    EXPECT_EQ(f.ProgressBar->value(), 100);
    EXPECT_FALSE(f.StaIdxEdit->isEnabled());
    EXPECT_FALSE(f.StaticsEdit->isEnabled());
    EXPECT_FALSE(f.GetStaticIndexButton->isEnabled());
    EXPECT_EQ(blockControlsEnabled(), std::vector<bool>(7, true));
    EXPECT_TRUE(f.FreezeWorldButton->isEnabled());

    typeInto(*f.X1Edit, "13");
    typeInto(*f.X2Edit, "20");
    QTest::mouseClick(f.GetStaticBlockButton, Qt::LeftButton);
    EXPECT_EQ(f.X1Edit->text(), "8");
    EXPECT_EQ(f.X2Edit->text(), "23");
    EXPECT_EQ(f.Y1Edit->text(), "0");
    EXPECT_EQ(f.Y2Edit->text(), "7");
    EXPECT_EQ(mainLines(),
              (QStringList{"Item #1: Item ID = 00 01, X = 9, Y = 2, Z = 0, Color = 00 00",
                           "Item #2: Item ID = 0E ED, X = 19, Y = 7, Z = -5, Color = 00 00",
                           "Item #3: Item ID = 12 34, X = 16, Y = 0, Z = 10, Color = 04 81"}));
    EXPECT_EQ(logLines().size(), 2);
    EXPECT_TRUE(dialogs_.errors().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(f.MainListBox->verticalScrollBar()->value(), 0); // the listing shows its start

    // A reversed range (the upper field not yet left) lists nothing and snaps the fields.
    typeInto(*f.X1Edit, "20");
    typeInto(*f.X2Edit, "13");
    f.GetStaticBlockButtonClick();
    EXPECT_EQ(f.X1Edit->text(), "16");
    EXPECT_EQ(f.X2Edit->text(), "15");
    EXPECT_TRUE(mainLines().isEmpty());
}

TEST_F(MainFormTest, AnIoErrorIsShownAndTheWindowStaysUsable) {
    makeWorld();
    const std::string index = ReadWholeFile(world("staidx0.mul"));
    WriteWholeFile(world("staidx0.mul"), index.substr(0, index.size() / 2));
    startNormal();
    enterWorldPaths();
    TMainForm& f = form();
    QTest::mouseClick(f.GetStaticIndexButton, Qt::LeftButton);
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Versuch hinter dem Dateiende zu lesen"});
    EXPECT_FALSE(program_->context().state.StaticIndexLoaded);
    EXPECT_TRUE(f.StaIdxEdit->isEnabled());
    EXPECT_TRUE(f.GetStaticIndexButton->isEnabled());
    EXPECT_FALSE(f.GetStaticBlockButton->isEnabled());
    EXPECT_EQ(logLines().size(), 1);
    EXPECT_EQ(FileFaults::OpenHandles(), 0);

    // Put right, the same button works.
    WriteWholeFile(world("staidx0.mul"), index);
    QTest::mouseClick(f.GetStaticIndexButton, Qt::LeftButton);
    EXPECT_TRUE(program_->context().state.StaticIndexLoaded);
    EXPECT_EQ(logLines().back(), "Init completed!");
    EXPECT_EQ(dialogs_.errors().size(), 1u);
}

TEST_F(MainFormTest, ClosingDuringARunWaitsUntilItEnds) {
    startNormal();
    ui::BusyGuard& busy = program_->context().busy;
    ui::RunOperation(dialogs_, busy, &form(), [&] {
        EXPECT_FALSE(form().close());
        EXPECT_TRUE(form().isVisible());
    });
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainFormTest, ToolButtonsShowTheirWindowsModally) {
    makeWorld();
    startNormal();
    typeInto(*form().StaIdxEdit, Q(world("staidx0.mul")));
    typeInto(*form().StaticsEdit, Q(world("statics0.mul")));
    QTest::mouseClick(form().LWDiffButton, Qt::LeftButton);
    QTest::mouseClick(form().FillClearButton, Qt::LeftButton);
    QTest::mouseClick(form().MapEditButton, Qt::LeftButton);
    EXPECT_EQ(dialogs_.modalWindows,
              (std::vector<QString>{"TLWDiffForm", "TLWFillClearForm", "TLWMapEditForm"}));

    struct Window {
        QWidget& window;
        const char* caption;
        QSize size;
    };
    const Window windows[] = {
        {program_->diffForm(), "LW-Diff", {457, 361}},
        {program_->fillClearForm(), "Fill/Clear", {385, 257}},
        {program_->mapEditForm(), "MapEdit", {697, 575}},
        {program_->textureAuswahlForm(), "TextureAuswahl", {366, 331}},
        {program_->progressForm(), "Progress", {297, 49}},
    };
    for (const Window& w : windows) {
        EXPECT_EQ(w.window.windowTitle(), w.caption);
        EXPECT_EQ(w.window.size(), w.size) << w.caption;
        EXPECT_FALSE(w.window.isVisible()) << w.caption;
    }
}

TEST_F(MainFormTest, TheLogStaysFastWithManyLinesAndShowsItsEnd) {
    startNormal();
    QElapsedTimer timer;
    timer.start();
    constexpr int kLines = 300000;
    for (int i = 0; i < kLines; ++i) {
        form().AddLogLine(QStringLiteral("Block %1 melted").arg(i));
        if (i % 1000 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(logLines().size(), kLines);
    const QScrollBar* bar = form().LogListBox->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->maximum(), 0);
}

} // namespace
} // namespace lw::test
