// The main window driven as a user would: file-name fields, control states, modes, the first
// start, the block fields, loading the index and listing blocks, errors.
#include "UiFixture.h"
#include "gui/DiffWindow.h"
#include "gui/FillClearWindow.h"
#include "gui/MainWindowTexts.h"
#include "gui/MapEditorWindow.h"
#include "gui/ProgressWindow.h"
#include "gui/SettingsStore.h"
#include "gui/TexturePaletteWindow.h"
#include "gui/widgets/LineList.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/UpDown.h"
#include "support/ChildProcess.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "util/ReplacementJournal.h"
#include "util/ReplacementSet.h"

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

using gui::FieldState;

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
    QLineEdit& staIdx() { return mainEdit("StaIdxEdit"); }
    QLineEdit& statics() { return mainEdit("StaticsEdit"); }
    QLineEdit& itemFile() { return mainEdit("WSCEdit"); }
    void enterWorldPaths() {
        typeInto(staIdx(), Q(world("staidx0.mul")));
        typeInto(statics(), Q(world("statics0.mul")));
        typeInto(itemFile(), Q(world("statics.cfg")));
    }
    gui::LineList& mainList() { return mainControl<gui::LineList>("MainListBox"); }
    QStringList mainLines() { return mainList().lines(); }
    QStringList logLines() { return mainControl<gui::LineList>("LogListBox").lines(); }
    gui::UpDown& upDown(const char* name) { return mainControl<gui::UpDown>(name); }
    std::vector<bool> blockControlsEnabled() {
        std::vector<bool> states;
        for (const char* name : {"X1Edit", "X1UpDown", "X2Edit", "Y1Edit", "Y2UpDown",
                                 "GetStaticBlockButton", "MeltBlockButton"})
            states.push_back(mainControl(name).isEnabled());
        return states;
    }
};

TEST_F(MainFormTest, CreatedWithItsCaptionsTextsAndStates) {
    startNormal();
    MainWindow& f = form();
    EXPECT_EQ(f.windowTitle(), "Loamwright (Version 6a / SubVersion 3) (Normal mode)");
    EXPECT_EQ(f.size(), QSize(619, 425));
    EXPECT_EQ(mainButton("GetStaticIndexButton").text(), "GetStaticIndex");
    EXPECT_EQ(mainButton("MeltBlockButton").text(), "Melt!");
    EXPECT_EQ(mainButton("FreezeWorldButton").text(), "Freeze!");
    auto& selectItems = mainControl<QGroupBox>("SelectItemsRadioGroup");
    EXPECT_EQ(selectItems.title(), " Freeze items ");
    const QList<QRadioButton*> items = selectItems.findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "type 255");
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_EQ(items[1]->text(), "auto");
    auto& writePat = mainControl<QCheckBox>("WritePATCheckBox");
    EXPECT_EQ(writePat.text(), "Write PAT");
    EXPECT_FALSE(writePat.isChecked());
    EXPECT_TRUE(mainButton("MapEditButton").isEnabled());
    EXPECT_FALSE(mainButton("LWDiffButton").isEnabled());
    EXPECT_EQ(upDown("X1UpDown").max(), 6143);
    EXPECT_EQ(upDown("Y2UpDown").max(), 4095);
    EXPECT_EQ(mainEdit("X1Edit").text(), "0");

    // The manual stays until Simple mode replaces it, and is scrolled to its end.
    EXPECT_EQ(mainLines(), ManualLines());
    ASSERT_EQ(mainLines().size(), 31);
    EXPECT_EQ(mainLines()[3].back(), ' ');
    EXPECT_EQ(mainLines()[30], "That's it!");
    QCoreApplication::processEvents();
    const QScrollBar* bar = mainList().verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    const auto& wscLabel = mainControl<QLabel>("WSCLabel");
    auto& polStyle = mainControl<QCheckBox>("PolStyle");
    EXPECT_EQ(wscLabel.text(), "statics.cfg");
    polStyle.click();
    EXPECT_EQ(wscLabel.text(), "items.wsc");
    polStyle.click();
    EXPECT_EQ(wscLabel.text(), "statics.cfg");
}

TEST_F(MainFormTest, FileNameFieldsAreValidatedOnEveryChange) {
    makeWorld();
    WriteWholeFile(world("StaIdx0.MUL"), "");
    WriteWholeFile(world("staidx1.mul"), "");
    WriteWholeFile(world("anything.txt"), "");
    QDir(Q(worldDir_.path())).mkpath("folder/statics0.mul");
    startNormal();
    struct Case {
        QLineEdit* field;
        std::string path;
        FieldState expected;
    };
    const Case cases[] = {
        {&staIdx(), "StaIdx0.MUL", FieldState::Valid},
        {&staIdx(), "staidx1.mul", FieldState::Invalid},
        {&staIdx(), "missing/staidx0.mul", FieldState::Invalid},
        {&statics(), "folder/statics0.mul", FieldState::Invalid},
        {&statics(), "statics0.mul", FieldState::Valid},
        {&itemFile(), "anything.txt", FieldState::Valid},
        {&itemFile(), "staidx1.mul", FieldState::Valid},
        {&itemFile(), "folder", FieldState::Invalid},
        {&itemFile(), "nothing.wsc", FieldState::Invalid},
    };
    for (const Case& c : cases) {
        typeInto(*c.field, Q(world(c.path)));
        EXPECT_EQ(gui::PathFieldState(*c.field), c.expected) << c.path;
        const QColor colour = c.field->palette().color(QPalette::Base);
        EXPECT_EQ(colour, c.expected == FieldState::Valid ? QColor(0, 128, 0) : QColor(255, 0, 0));
    }
}

TEST_F(MainFormTest, ControlStatesAndStoredPathsInNormalMode) {
    makeWorld();
    startNormal();
    const std::vector<bool> allOff(7, false);
    EXPECT_EQ(gui::PathFieldState(staIdx()), FieldState::Invalid); // empty stored path

    typeInto(staIdx(), Q(world("staidx0.mul")));
    typeInto(statics(), Q(world("statics0.mul")));
    EXPECT_TRUE(mainButton("LWDiffButton").isEnabled());
    EXPECT_TRUE(mainButton("FillClearButton").isEnabled());
    EXPECT_FALSE(mainButton("GetStaticIndexButton").isEnabled());
    const auto stored = SettingsStore().loadMainSettings();
    EXPECT_EQ(stored[0], Q(world("staidx0.mul")));
    EXPECT_EQ(stored[1], Q(world("statics0.mul")));
    EXPECT_EQ(stored[2], "");

    typeInto(itemFile(), Q(world("statics.cfg")));
    EXPECT_TRUE(mainButton("GetStaticIndexButton").isEnabled());
    EXPECT_EQ(blockControlsEnabled(), allOff);
    EXPECT_EQ(SettingsStore().loadMainSettings()[2], Q(world("statics.cfg")));

    // Only the statics fields valid again: the stored item file is emptied, and the next start
    // shows an empty red item-file field.
    typeInto(itemFile(), Q(world("gone.cfg")));
    EXPECT_FALSE(mainButton("GetStaticIndexButton").isEnabled());
    EXPECT_EQ(SettingsStore().loadMainSettings()[2], "");
    program_.reset();
    start();
    EXPECT_EQ(itemFile().text(), "");
    EXPECT_EQ(gui::PathFieldState(itemFile()), FieldState::Invalid);
    EXPECT_EQ(gui::PathFieldState(staIdx()), FieldState::Valid);
    EXPECT_TRUE(mainControl("SelectItemsRadioGroup").isEnabled());
    EXPECT_TRUE(mainButton("MapEditButton").isEnabled());
}

TEST_F(MainFormTest, FocusGoesToTheNextStepAndPathFieldsStayReadable) {
    makeWorld();
    startNormal();
    EXPECT_EQ(form().focusWidget(), &staIdx()) << "nothing stored yet";
    enterWorldPaths();
    const QPalette palette = staIdx().palette();
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::Base), QColor(0, 128, 0));
    EXPECT_NE(palette.color(QPalette::Disabled, QPalette::Text).lightness(), 128);
    EXPECT_EQ(staIdx().toolTip(), Q(world("staidx0.mul")));

    program_.reset();
    start();
    EXPECT_EQ(form().focusWidget(), &mainButton("GetStaticIndexButton"));
    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    EXPECT_EQ(form().focusWidget(), &mainButton("GetStaticBlockButton"));

    program_.reset();
    startSimple();
    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    EXPECT_EQ(form().focusWidget(), &mainButton("FreezeWorldButton"))
        << "the step the guidance names";
}

TEST_F(MainFormTest, SimpleModeRestrictsControlsAndGuidesStepByStep) {
    makeWorld();
    startSimple();
    EXPECT_TRUE(form().windowTitle().endsWith(" (Simple mode)"));
    EXPECT_TRUE(mainControl<QRadioButton>("SimpleModeRadioButton").isChecked());
    EXPECT_EQ(mainLines(), GuidanceLines(GuidanceStep::EnterStaIdx));
    typeInto(staIdx(), Q(world("staidx0.mul")));
    EXPECT_EQ(mainLines(), GuidanceLines(GuidanceStep::EnterStatics));
    typeInto(statics(), Q(world("statics0.mul")));
    EXPECT_EQ(mainLines(), GuidanceLines(GuidanceStep::EnterItemFile));
    EXPECT_TRUE(mainButton("LWDiffButton").isEnabled());
    EXPECT_FALSE(mainButton("FillClearButton").isEnabled());
    EXPECT_FALSE(mainButton("MapEditButton").isEnabled());
    EXPECT_FALSE(mainControl("SelectItemsRadioGroup").isEnabled());
    EXPECT_FALSE(mainControl("WritePATCheckBox").isEnabled());
    typeInto(itemFile(), Q(world("statics.cfg")));
    EXPECT_EQ(mainLines(), GuidanceLines(GuidanceStep::LoadIndex));
    EXPECT_TRUE(mainButton("GetStaticIndexButton").isEnabled());

    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    EXPECT_EQ(mainLines(), GuidanceLines(GuidanceStep::Freeze));
    EXPECT_TRUE(mainButton("FreezeWorldButton").isEnabled());
    EXPECT_EQ(blockControlsEnabled(), std::vector<bool>(7, false));

    // The empty item file freezes nothing, and the freeze is done.
    QTest::mouseClick(&mainButton("FreezeWorldButton"), Qt::LeftButton);
    ASSERT_TRUE(program_->context().state.FreezeDone);
    EXPECT_FALSE(mainButton("FreezeWorldButton").isEnabled());
    EXPECT_EQ(mainLines(), GuidanceLines(GuidanceStep::Finished));
    EXPECT_EQ(mainLines().size(), 2);
}

TEST_F(MainFormTest, StartUpRepairsWhatAKilledOperationLeftBesideTheStoredFiles) {
    makeWorld();
    settings_.put("StaIdx0.mul", Q(world("staidx0.mul")));
    const std::string index = ReadWholeFile(world("staidx0.mul"));
    // A run killed between the renames of the index and the statics leaves its journal.
    for (int n = 1; FindJournals(worldDir_.path()).empty(); ++n) {
        ASSERT_LT(n, 10);
        RunInChild([&] {
            FileFaults::KillAtNthRename(n);
            ReplacementFile a(world("staidx0.mul")), b(world("statics0.mul"));
            a.file().write("new", 3);
            b.file().write("new", 3);
            ReplacementSet set;
            set.add(&a);
            set.add(&b);
            set.commit();
        });
        if (FindJournals(worldDir_.path()).empty()) { // killed before the journal
            ASSERT_EQ(ReadWholeFile(world("staidx0.mul")), index);
        }
    }
    startNormal();
    const QStringList lines = logLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("Recovered an interrupted operation");
    })) << lines.join('\n').toStdString();
    EXPECT_TRUE(FindJournals(worldDir_.path()).empty());
    // The journal was in place, so every new file was: the step is completed.
    EXPECT_EQ(ReadWholeFile(world("staidx0.mul")), "new");
}

TEST_F(MainFormTest, FirstStartAsksForTheModeBeforeFillingTheFields) {
    makeWorld();
    settings_.put("StaIdx0.mul", Q(world("staidx0.mul")));
    for (const bool simple : {true, false}) {
        dialogs_.messages.clear();
        dialogs_.answers = {simple ? gui::MessageButton::Yes : gui::MessageButton::No};
        program_.reset();
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek",
                            "Loamwright");
            store.remove("Mode");
        }
        start();
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        const gui::MessageRequest& question = dialogs_.messages[0];
        EXPECT_EQ(question.title, "Simple mode?");
        EXPECT_EQ(question.text, SimpleModeQuestion());
        EXPECT_EQ(question.icon, gui::MessageIcon::None);
        EXPECT_EQ(question.buttons, (std::vector{gui::MessageButton::Yes, gui::MessageButton::No}));
        EXPECT_EQ(settings_.get("Mode").toInt(), simple ? 1 : 0);
        EXPECT_EQ(form().windowTitle().endsWith(" (Simple mode)"), simple);
        EXPECT_EQ(form().windowTitle().endsWith(" (Normal mode)"), !simple);
        EXPECT_EQ(staIdx().text(), Q(world("staidx0.mul")));
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
    EXPECT_TRUE(mainControl<QRadioButton>("NormalModeRadioButton").isChecked());
    EXPECT_EQ(mainLines(), ManualLines());
    EXPECT_TRUE(mainButton("MapEditButton").isEnabled());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MainFormTest, SwitchingModeStoresItAndTakesEffectAtTheNextStart) {
    startNormal();
    const QString caption = form().windowTitle();
    auto& normal = mainControl<QRadioButton>("NormalModeRadioButton");
    QTest::mouseClick(&normal, Qt::LeftButton);
    EXPECT_TRUE(dialogs_.messages.empty());

    QTest::mouseClick(&mainControl<QRadioButton>("SimpleModeRadioButton"), Qt::LeftButton);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].title, "Simple mode selected");
    EXPECT_EQ(dialogs_.messages[0].text,
              "The new mode will be active the next time you start Loamwright.");
    EXPECT_EQ(dialogs_.messages[0].buttons, std::vector{gui::MessageButton::Ok});
    EXPECT_EQ(settings_.get("Mode").toInt(), 1);
    EXPECT_EQ(form().windowTitle(), caption);
    EXPECT_TRUE(mainButton("MapEditButton").isEnabled());
    EXPECT_EQ(mainLines(), ManualLines());

    QTest::mouseClick(&normal, Qt::LeftButton);
    EXPECT_EQ(dialogs_.messages.back().title, "Normal mode selected");
    EXPECT_EQ(settings_.get("Mode").toInt(), 0);
}

TEST_F(MainFormTest, ABadModeValueOrAFailingWriteIsReportedAsAnError) {
    settings_.put("Mode", "simple");
    start();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Ungültiger Datentyp für 'Mode'"});
    EXPECT_EQ(staIdx().text(), "StaIdxEdit"); // the show handler ended there
    // The show is over, failed or not: choosing a mode is a switch again.
    QTest::mouseClick(&mainControl<QRadioButton>("SimpleModeRadioButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs_.messages.back().title, "Simple mode selected");

    // A settings folder that cannot be created: the mode write fails visibly.
    program_.reset();
    dialogs_.messages.clear();
    WriteWholeFile(settings_.folder() + "/blocker", "");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       Q(settings_.folder() + "/blocker/settings"));
    start();
    QTest::mouseClick(&mainControl<QRadioButton>("SimpleModeRadioButton"), Qt::LeftButton);
    ASSERT_FALSE(dialogs_.errors().empty());
    EXPECT_EQ(dialogs_.errors().back(), "Fehler beim Setzen der Daten für 'Mode'");
}

TEST_F(MainFormTest, BlockFieldsClampWhileTypingAndOnLeaving) {
    makeWorld();
    startNormal();
    enterWorldPaths();
    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    QLineEdit& x1 = mainEdit("X1Edit");
    QLineEdit& x2 = mainEdit("X2Edit");
    QLineEdit& y1 = mainEdit("Y1Edit");
    QLineEdit& y2 = mainEdit("Y2Edit");

    typeInto(x1, "7000");
    EXPECT_EQ(upDown("X2UpDown").min(), 7000);
    EXPECT_EQ(x2.text(), "7000");
    y1.setFocus(); // leave X1
    EXPECT_EQ(x1.text(), "6143");
    EXPECT_EQ(upDown("X2UpDown").min(), 6143);
    EXPECT_EQ(x2.text(), "6143");
    EXPECT_TRUE(dialogs_.errors().empty());

    // One replaced digit takes X1 from 7500 to 7000: X2 (7500) lies above both limits of its
    // spinner and ends at the lower one.
    typeInto(x1, "7500");
    EXPECT_EQ(x2.text(), "7500");
    x1.setSelection(1, 1);
    QTest::keyClick(&x1, Qt::Key_0);
    EXPECT_EQ(upDown("X2UpDown").min(), 7000);
    EXPECT_EQ(x2.text(), "7000");
    y1.setFocus();
    EXPECT_EQ(x2.text(), "6143");

    typeInto(x1, "");
    EXPECT_TRUE(dialogs_.errors().empty()); // empty text waits for leaving
    y1.setFocus();
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"'' ist kein gültiger Integerwert"});

    dialogs_.messages.clear();
    typeInto(y1, "40000");
    EXPECT_EQ(dialogs_.errors().back(), "Fehler bei Bereichsprüfung");
    EXPECT_EQ(y1.text(), "40000");

    typeInto(y1, "100");
    typeInto(y2, "50");
    x2.setFocus(); // leave Y2: below its lower limit
    EXPECT_EQ(y2.text(), "100");
    upDown("Y2UpDown").step(1);
    EXPECT_EQ(y2.text(), "101");
}

TEST_F(MainFormTest, LoadsTheIndexAndListsABlockRange) {
    makeWorld();
    PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 2, 0,
                   {{0x0EED, 3, 7, -5, 0}, {0x1234, 0, 0, 10, 0x0481}});
    PutStaticBlock(world("staidx0.mul"), world("statics0.mul"), 1, 0, {{0x0001, 1, 2, 0, 0}});
    startNormal();
    enterWorldPaths();
    auto& progressBar = mainControl<gui::ProgressBar>("ProgressBar");
    std::vector<int> bar;
    QObject::connect(&progressBar, &gui::ProgressBar::valueChanged,
                     [&](int value) { bar.push_back(value); });
    // Paths are stored when a field's change leaves them valid, not when the controls are shown
    // anew: what another copy of the program stored meanwhile stays.
    settings_.put("StaIdx0.mul", "elsewhere/staidx0.mul");
    QTest::mouseClick(&mainButton("GetStaticIndexButton"), Qt::LeftButton);
    EXPECT_EQ(SettingsStore().loadMainSettings()[0], "elsewhere/staidx0.mul");

    ASSERT_EQ(bar.size(), 100u); // every percentage from 1 (column 8) to 100, in order
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_EQ(bar.front(), 1);
    EXPECT_EQ(bar.back(), 100);
    EXPECT_EQ(logLines(), (QStringList{"Init in progress... Loamwright may look crashed, do not "
                                       "interrupt!",
                                       "Init completed!"}));
    EXPECT_TRUE(program_->context().state.StaticIndexLoaded);
    EXPECT_EQ(progressBar.value(), 100);
    EXPECT_FALSE(staIdx().isEnabled());
    EXPECT_FALSE(statics().isEnabled());
    EXPECT_FALSE(mainButton("GetStaticIndexButton").isEnabled());
    EXPECT_EQ(blockControlsEnabled(), std::vector<bool>(7, true));
    EXPECT_TRUE(mainButton("FreezeWorldButton").isEnabled());

    QLineEdit& x1 = mainEdit("X1Edit");
    QLineEdit& x2 = mainEdit("X2Edit");
    typeInto(x1, "13");
    typeInto(x2, "20");
    QTest::mouseClick(&mainButton("GetStaticBlockButton"), Qt::LeftButton);
    EXPECT_EQ(x1.text(), "8");
    EXPECT_EQ(x2.text(), "23");
    EXPECT_EQ(mainEdit("Y1Edit").text(), "0");
    EXPECT_EQ(mainEdit("Y2Edit").text(), "7");
    EXPECT_EQ(mainLines(),
              (QStringList{"Item #1: Item ID = 00 01, X = 9, Y = 2, Z = 0, Color = 00 00",
                           "Item #2: Item ID = 0E ED, X = 19, Y = 7, Z = -5, Color = 00 00",
                           "Item #3: Item ID = 12 34, X = 16, Y = 0, Z = 10, Color = 04 81"}));
    EXPECT_EQ(logLines().size(), 2);
    EXPECT_TRUE(dialogs_.errors().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(mainList().verticalScrollBar()->value(), 0); // the listing shows its start

    // A reversed range (the upper field not yet left: the button pressed without taking the
    // focus) lists nothing and snaps the fields.
    typeInto(x1, "20");
    typeInto(x2, "13");
    mainButton("GetStaticBlockButton").click();
    EXPECT_EQ(x1.text(), "16");
    EXPECT_EQ(x2.text(), "15");
    EXPECT_TRUE(mainLines().isEmpty());
}

TEST_F(MainFormTest, AnIoErrorIsShownAndTheWindowStaysUsable) {
    makeWorld();
    const std::string index = ReadWholeFile(world("staidx0.mul"));
    WriteWholeFile(world("staidx0.mul"), index.substr(0, index.size() / 2));
    startNormal();
    enterWorldPaths();
    QPushButton& getStaticIndex = mainButton("GetStaticIndexButton");
    QTest::mouseClick(&getStaticIndex, Qt::LeftButton);
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"Versuch hinter dem Dateiende zu lesen"});
    // Below the runtime's text: which file, in which role.
    EXPECT_EQ(dialogs_.messages.back().detail,
              "staidx0.mul (statics index): " + Q(world("staidx0.mul")));
    EXPECT_FALSE(program_->context().state.StaticIndexLoaded);
    EXPECT_TRUE(staIdx().isEnabled());
    EXPECT_TRUE(getStaticIndex.isEnabled());
    EXPECT_FALSE(mainButton("GetStaticBlockButton").isEnabled());
    EXPECT_EQ(logLines().size(), 1);
    EXPECT_EQ(FileFaults::OpenHandles(), 0);

    // Put right, the same button works.
    WriteWholeFile(world("staidx0.mul"), index);
    QTest::mouseClick(&getStaticIndex, Qt::LeftButton);
    EXPECT_TRUE(program_->context().state.StaticIndexLoaded);
    EXPECT_EQ(logLines().back(), "Init completed!");
    EXPECT_EQ(dialogs_.errors().size(), 1u);
}

TEST_F(MainFormTest, ClosingDuringARunWaitsUntilItEnds) {
    startNormal();
    gui::BusyGuard& busy = program_->context().busy;
    gui::RunOperation(dialogs_, busy, &form(), [&] {
        EXPECT_FALSE(form().close());
        EXPECT_TRUE(form().isVisible());
    });
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainFormTest, ToolButtonsShowTheirWindowsModally) {
    makeWorld();
    startNormal();
    typeInto(staIdx(), Q(world("staidx0.mul")));
    typeInto(statics(), Q(world("statics0.mul")));
    QTest::mouseClick(&mainButton("LWDiffButton"), Qt::LeftButton);
    QTest::mouseClick(&mainButton("FillClearButton"), Qt::LeftButton);
    QTest::mouseClick(&mainButton("MapEditButton"), Qt::LeftButton);
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
    };
    for (const Window& w : windows) {
        EXPECT_EQ(w.window.windowTitle(), w.caption);
        EXPECT_EQ(w.window.size(), w.size) << w.caption;
        EXPECT_FALSE(w.window.isVisible()) << w.caption;
    }
    // The progress window may draw its own caption above its client area.
    EXPECT_EQ(program_->progressForm().windowTitle(), "Progress");
    EXPECT_EQ(Find(program_->progressForm(), "ClientArea").size(), QSize(297, 49));
    EXPECT_FALSE(program_->progressForm().isVisible());
}

TEST_F(MainFormTest, TheLogStaysFastWithManyLinesAndShowsItsEnd) {
    startNormal();
    QElapsedTimer timer;
    timer.start();
    constexpr int kLines = 300000;
    for (int i = 0; i < kLines; ++i) {
        form().addLogLine(QStringLiteral("Block %1 melted").arg(i));
        if (i % 1000 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(logLines().size(), kLines);
    const QScrollBar* bar = mainControl<gui::LineList>("LogListBox").verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->maximum(), 0);
}

} // namespace
} // namespace lw::test
