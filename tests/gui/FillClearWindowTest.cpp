// The fill/clear window driven as a user would: its texts and layout, the three world-file
// fields and Go!, the check boxes, the altitude clamp, and Go! on a small world, with bad
// texts that must leave the files alone.
#include "gui/FillClearWindow.h"

#include "UiFixture.h"
#include "fillclear/NamedTiles.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/PathLineEdit.h"
#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/UpDown.h"
#include "support/WorldFiles.h"
#include "world/Blocks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace lw::test {
namespace {

TStaticRec Rec(std::uint16_t id, std::uint8_t x, std::uint8_t y) {
    return {id, x, y, 5, 0};
}

std::vector<std::uint16_t> Ids(const std::vector<TStaticRec>& records) {
    std::vector<std::uint16_t> ids;
    for (const TStaticRec& record : records)
        ids.push_back(std::uint16_t{record.ID});
    return ids;
}

class FillClearWindowTest : public UiTest {
protected:
    // A full-size world (sparse) whose paths the main window stored, as after a session.
    void SetUp() override {
        MakeEmptyStatics(staidx(), statics());
        MakeSparseMap(map());
        settings_.put("StaIdx0.mul", Q(staidx()));
        settings_.put("Statics0.mul", Q(statics()));
        settings_.put("Map0.mul", Q(map()));
        settings_.put("Mode", 0);
    }
    std::string staidx() const { return world("staidx0.mul"); }
    std::string statics() const { return world("statics0.mul"); }
    std::string map() const { return world("map0.mul"); }

    FillClearWindow& window() { return program_->fillClearForm(); }
    template <class W> W& control(const char* name) { return Find<W>(window(), name); }
    QLineEdit& edit(const char* name) { return control<QLineEdit>(name); }
    QPushButton& goButton() { return control<QPushButton>("GoButton"); }
    QCheckBox& box(const char* name) { return control<QCheckBox>(name); }
    QComboBox& tiles() { return control<QComboBox>("FillTileComboBox"); }

    // Shows the window as the active one, so that the focus moves as a user moves it.
    void startAndShow() {
        start();
        window().show();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }
    // Types into the field, then moves the focus on, as the Tab key does.
    void typeAndLeave(QLineEdit& field, const QString& text) {
        typeInto(field, text);
        QTest::keyClick(&field, Qt::Key_Tab);
    }
    void setArea(int left, int top, int right, int bottom) {
        typeInto(edit("ClearAreaLeftEdit"), QString::number(left));
        typeInto(edit("ClearAreaTopEdit"), QString::number(top));
        typeInto(edit("ClearAreaRightEdit"), QString::number(right));
        typeInto(edit("ClearAreaBottomEdit"), QString::number(bottom));
    }
    void chooseTile(const QString& text) {
        tiles().setFocus();
        tiles().lineEdit()->selectAll();
        QTest::keyClick(tiles().lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(tiles().lineEdit(), text);
    }
    std::vector<bool> replaceControlsEnabled() {
        std::vector<bool> states;
        for (const char* name : {"StaticsClearInfoLabel", "FillTileLabel", "FillTileComboBox",
                                 "FillAltitudeLabel", "FillAltitudeEdit"})
            states.push_back(control<QWidget>(name).isEnabled());
        return states;
    }
    std::string worldBytes() const {
        return ReadWholeFile(staidx()) + ReadWholeFile(statics()) + ReadWholeFile(map());
    }
};

// The display-only fields show a long path with its middle left out and the whole of it as a
// tooltip; the map field, which the user edits, shows its text as it is.
TEST_F(FillClearWindowTest, DisplayOnlyPathsAreShortenedInTheMiddle) {
    start();
    mainButton("FillClearButton").click();
    window().show();
    QCoreApplication::processEvents();
    for (const char* name : {"MStaIdxEdit", "MStaticsEdit"}) {
        auto& field = control<gui::PathLineEdit>(name);
        const QString shown = field.shownText();
        EXPECT_EQ(field.toolTip(), field.text()) << name;
        EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
        EXPECT_TRUE(shown.startsWith(field.text().left(3))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(field.text().right(5))) << shown.toStdString();
        EXPECT_LE(field.fontMetrics().horizontalAdvance(shown), field.width());
    }
    auto& map = control<gui::PathLineEdit>("MMapEdit");
    EXPECT_EQ(map.shownText(), map.text());
}

TEST_F(FillClearWindowTest, CreatedWithItsTextsDefaultsAndATidyLayout) {
    startAndShow();
    FillClearWindow& w = window();
    EXPECT_EQ(w.windowTitle(), "Fill/Clear");
    EXPECT_EQ(w.size(), QSize(385, 257));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());

    const std::pair<const char*, const char*> captions[] = {
        {"ClearSelectGroupBox", "Clear files"},
        {"FillClearAreaGroupBox", "Fill/Clear area"},
        {"ReplaceGroupBox", "Replace with"},
    };
    for (const auto& [name, title] : captions)
        EXPECT_EQ(control<QGroupBox>(name).title(), title);
    const std::pair<const char*, const char*> texts[] = {
        {"ClearAreaNoteLabel", "Enter cell numbers here!"},
        {"ClearAreaTopLabel", "Top border"},
        {"ClearAreaLeftLabel", "Left border"},
        {"ClearAreaRightLabel", "Right border"},
        {"ClearAreaBottomLabel", "Bottom border"},
        {"StaticsClearInfoLabel", "All static items in this area are cleared!"},
        {"FillTileLabel", "Select tile-group or enter tile-id"},
        {"FillAltitudeLabel", "Select an altitude for the tiles"},
        {"StaIdxLabel", "StaIdx0.mul"},
        {"StaticsLabel", "Statics0.mul"},
        {"MapLabel", "Map0.mul"},
    };
    for (const auto& [name, text] : texts)
        EXPECT_EQ(control<QLabel>(name).text(), text) << name;
    EXPECT_EQ(box("StaticsCheckBox").text(), "StaIdx0.mul + Statics0.mul");
    EXPECT_EQ(box("MapCheckBox").text(), "Map0.mul");
    EXPECT_TRUE(box("StaticsCheckBox").isChecked());
    EXPECT_TRUE(box("MapCheckBox").isChecked());
    EXPECT_EQ(goButton().text(), "Go!");

    EXPECT_EQ(edit("ClearAreaTopEdit").text(), "0");
    EXPECT_EQ(edit("ClearAreaLeftEdit").text(), "0");
    EXPECT_EQ(edit("ClearAreaRightEdit").text(), "6144");
    EXPECT_EQ(edit("ClearAreaBottomEdit").text(), "4096");
    EXPECT_EQ(edit("FillAltitudeEdit").text(), "0");
    const auto& spinner = control<gui::UpDown>("FillAltitudeUpDown");
    EXPECT_EQ(spinner.min(), -128);
    EXPECT_EQ(spinner.max(), 127);
    ASSERT_EQ(tiles().count(), 14);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(tiles().itemText(i), NamedTiles[static_cast<std::size_t>(i)].Name);
    EXPECT_TRUE(tiles().isEditable());
    EXPECT_EQ(tiles().currentText(), "");
    EXPECT_FALSE(edit("MStaIdxEdit").isEnabled());
    EXPECT_FALSE(edit("MStaticsEdit").isEnabled());
    EXPECT_TRUE(edit("MMapEdit").isEnabled());

    // The borders lie like a compass: top above bottom, left beside right, between them.
    const QRect top = edit("ClearAreaTopEdit").geometry();
    const QRect left = edit("ClearAreaLeftEdit").geometry();
    const QRect right = edit("ClearAreaRightEdit").geometry();
    const QRect bottom = edit("ClearAreaBottomEdit").geometry();
    EXPECT_LT(top.bottom(), left.top());
    EXPECT_EQ(left.top(), right.top());
    EXPECT_LT(left.right(), right.left());
    EXPECT_LT(left.bottom(), bottom.top());
    EXPECT_EQ(top.center().x(), bottom.center().x());
    EXPECT_GT(top.center().x(), left.right());
    EXPECT_LT(top.center().x(), right.left());

    // Everything visible fits inside its parent, and no caption is cut off.
    for (const QWidget* c : w.findChildren<QWidget*>()) {
        if (c->parentWidget() == nullptr || !c->isVisibleTo(&w) || c->objectName().isEmpty())
            continue;
        const std::string name = c->objectName().toStdString();
        EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << name;
        if (const auto* button = qobject_cast<const QPushButton*>(c)) {
            EXPECT_GE(c->width(), button->fontMetrics().horizontalAdvance(button->text()) + 8)
                << name;
        } else if (const auto* label = qobject_cast<const QLabel*>(c); label && label->wordWrap()) {
            EXPECT_GE(c->height(), c->heightForWidth(c->width())) << name;
        } else if (label || qobject_cast<const QCheckBox*>(c)) {
            EXPECT_GE(c->width(), c->sizeHint().width()) << name;
        }
        if (qobject_cast<const QLineEdit*>(c) || qobject_cast<const QComboBox*>(c)) {
            EXPECT_GE(c->height(), c->minimumSizeHint().height()) << name;
        }
    }
}

TEST_F(FillClearWindowTest, GoIsOfferedOnlyWhileAllThreeFilesAreValidAndThenStoresThem) {
    QDir().mkpath(Q(world("other/map0.mul"))); // a folder of that name is no map
    const std::string otherMap = world("elsewhere/MAP0.MUL");
    QDir().mkpath(Q(world("elsewhere")));
    MakeSparseMap(otherMap);
    start();

    // Opened with the main window's button, it shows the stored paths at once.
    bool shownValid = false;
    dialogs_.onModal = [&](QDialog& modal) {
        modal.show();
        shownValid = gui::IsGreen(edit("MStaIdxEdit")) && gui::IsGreen(edit("MStaticsEdit")) &&
                     gui::IsGreen(edit("MMapEdit")) && goButton().isEnabled();
        modal.hide();
    };
    QTest::mouseClick(&mainButton("FillClearButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs_.modalWindows, std::vector<QString>{"TLWFillClearForm"});
    EXPECT_TRUE(shownValid);

    window().show();
    struct Case {
        std::string path;
        bool valid;
    };
    const Case cases[] = {
        {"other/map0.mul", false},
        {"map0.mul.bak", false},
        {"missing/map0.mul", false},
        {"elsewhere/MAP0.MUL", true},
    };
    for (const Case& c : cases) {
        typeInto(edit("MMapEdit"), Q(world(c.path)));
        EXPECT_EQ(gui::IsGreen(edit("MMapEdit")), c.valid) << c.path;
        EXPECT_EQ(edit("MMapEdit").palette().color(QPalette::Base),
                  c.valid ? QColor(0, 128, 0) : QColor(255, 0, 0));
        EXPECT_EQ(goButton().isEnabled(), c.valid) << c.path;
        // The store keeps the last valid set.
        EXPECT_EQ(settings_.get("Map0.mul").toString(), Q(c.valid ? otherMap : map()));
    }
    EXPECT_EQ(settings_.get("StaIdx0.mul").toString(), Q(staidx()));

    // The next showing reads the store again: a statics path gone bad takes Go! away.
    settings_.put("Statics0.mul", Q(world("missing/statics0.mul")));
    window().hide();
    window().show();
    EXPECT_TRUE(gui::IsRed(edit("MStaticsEdit")));
    EXPECT_FALSE(goButton().isEnabled());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(FillClearWindowTest, OneCheckBoxStaysCheckedAndEachEnablesItsControls) {
    startAndShow();
    QCheckBox& statics = box("StaticsCheckBox");
    QCheckBox& terrain = box("MapCheckBox");
    struct Step {
        QCheckBox* clicked;
        bool staticsAfter, mapAfter;
    };
    const Step steps[] = {
        {&terrain, true, false}, // the map part off: tile and altitude go dark
        {&statics, false, true}, // both off: the other one comes back
        {&statics, true, true},  {&statics, false, true}, // statics off: only the note goes dark
        {&terrain, true, false}, // both off again: the statics part comes back
    };
    for (const Step& s : steps) {
        QTest::mouseClick(s.clicked, Qt::LeftButton);
        EXPECT_EQ(statics.isChecked(), s.staticsAfter) << s.clicked->objectName().toStdString();
        EXPECT_EQ(terrain.isChecked(), s.mapAfter);
        EXPECT_EQ(
            replaceControlsEnabled(),
            (std::vector<bool>{s.staticsAfter, s.mapAfter, s.mapAfter, s.mapAfter, s.mapAfter}));
        EXPECT_EQ(control<gui::UpDown>("FillAltitudeUpDown").isEnabled(), s.mapAfter);
    }
}

TEST_F(FillClearWindowTest, AltitudeIsClampedOnLeavingTheField) {
    startAndShow();
    QLineEdit& altitude = edit("FillAltitudeEdit");
    const std::pair<const char*, const char*> cases[] = {
        {"200", "127"}, {"-129", "-128"}, {"127", "127"}, {"-128", "-128"}, {"$10", "$10"},
    };
    for (const auto& [typed, shown] : cases) {
        typeAndLeave(altitude, typed);
        EXPECT_EQ(altitude.text(), shown) << typed;
    }
    EXPECT_TRUE(dialogs_.messages.empty());

    // The spinner stops at its limits.
    typeAndLeave(altitude, "126");
    auto& spinner = control<gui::UpDown>("FillAltitudeUpDown");
    spinner.step(1);
    spinner.step(1);
    EXPECT_EQ(altitude.text(), "127");

    typeAndLeave(altitude, "abc");
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"'abc' ist kein gültiger Integerwert"});
    EXPECT_EQ(altitude.text(), "abc");
}

TEST_F(FillClearWindowTest, GoClearsAndFillsTheAreaWithTheProgramsGenerator) {
    // Tiles 8-9 by 16-17 are cells x 0-1, y 0-1 of block (1, 2).
    PutStaticBlock(staidx(), statics(), 1, 2,
                   {Rec('A', 0, 0), Rec('B', 5, 5), Rec('C', 1, 1), Rec('D', 6, 6)});
    TMapBlock marked{};
    marked.Header = 0x01020304;
    for (TMapCell& cell : marked.Cells)
        cell = {0x0999, 9};
    WriteMapBlock(map(), 1, 2, marked);
    const std::uint64_t staticsSize = ReadWholeFile(statics()).size();
    startAndShow();
    // While it runs, the window takes no clicks or keys: no second Go!, no field changing under it.
    std::vector<int> bar;
    bool enabledWhileRunning = false;
    QObject::connect(&mainControl<gui::ProgressBar>("ProgressBar"), &gui::ProgressBar::valueChanged,
                     [&](int value) {
                         bar.push_back(value);
                         enabledWhileRunning |= window().isEnabled();
                     });
    ASSERT_EQ(program_->context().state.RandomSeed, 0u);

    setArea(8, 16, 9, 17);
    chooseTile("random GRASS");
    typeAndLeave(edit("FillAltitudeEdit"), "-5");
    QTest::mouseClick(&goButton(), Qt::LeftButton);

    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(Ids(ReadBlockRecords(staidx(), statics(), 1, 2)),
              (std::vector<std::uint16_t>{'D', 'B'}));
    EXPECT_EQ(ReadIndexFile(staidx()).at(1, 2).Offset, static_cast<std::int32_t>(staticsSize));

    // From the program's seed 0 the group gives 3, 3, 6, 3, cells visited x outer, y inner.
    TMapBlock expected = marked;
    expected.Cells[CellIndex(0, 0)] = {3, -5};
    expected.Cells[CellIndex(0, 1)] = {3, -5};
    expected.Cells[CellIndex(1, 0)] = {6, -5};
    expected.Cells[CellIndex(1, 1)] = {3, -5};
    const TMapBlock written = ReadMapBlock(map(), 1, 2);
    EXPECT_EQ(std::memcmp(&written, &expected, sizeof written), 0);
    EXPECT_EQ(program_->context().state.RandomSeed, 870078620u);
    EXPECT_EQ(+ReadMapBlock(map(), 1, 3).Cells[0].Tile, 0); // the rest stays

    // Both passes moved the main window's bar to the end, and the window is usable again.
    ASSERT_FALSE(bar.empty());
    EXPECT_EQ(bar.back(), 100);
    EXPECT_FALSE(enabledWhileRunning);
    EXPECT_TRUE(window().isEnabled());
    EXPECT_TRUE(window().isVisible());

    // Only the statics: the terrain stays, whatever the tile text says.
    QTest::mouseClick(&box("MapCheckBox"), Qt::LeftButton);
    chooseTile("3");
    setArea(40, 16, 47, 23); // block (5, 2), wholly inside
    PutStaticBlock(staidx(), statics(), 5, 2, {Rec('E', 1, 1)});
    const std::string mapBefore = ReadWholeFile(map());
    QTest::mouseClick(&goButton(), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(ReadIndexFile(staidx()).at(5, 2).Offset, kNoStatics);
    EXPECT_TRUE(ReadWholeFile(map()) == mapBefore);
}

TEST_F(FillClearWindowTest, UnusableTextsShowTheirErrorAndWriteNothing) {
    PutStaticBlock(staidx(), statics(), 1, 2, {Rec('A', 2, 4)});
    startAndShow();
    setArea(10, 20, 10, 20);
    struct Case {
        const char* field; // nullptr: the tile text
        QString text;
        QString message;
    };
    const Case cases[] = {
        {nullptr, "3", "Input not SpacedHex"},
        {nullptr, "", "Input not SpacedHex"},
        {nullptr, "Random rock", "Input not SpacedHex"},
        {"ClearAreaRightEdit", "65536", "Fehler bei Bereichsprüfung"},
        {"ClearAreaTopEdit", "x", "'x' ist kein gültiger Integerwert"},
    };
    const std::string before = worldBytes();
    for (const Case& c : cases) {
        setArea(10, 20, 10, 20);
        chooseTile("00 03");
        if (c.field == nullptr)
            chooseTile(c.text);
        else
            typeInto(edit(c.field), c.text);
        dialogs_.messages.clear();
        QTest::mouseClick(&goButton(), Qt::LeftButton);
        EXPECT_EQ(dialogs_.errors(), std::vector<QString>{c.message}) << c.text.toStdString();
        EXPECT_TRUE(worldBytes() == before) << c.text.toStdString();
        EXPECT_TRUE(window().isEnabled());
    }
    EXPECT_EQ(program_->context().state.RandomSeed, 0u);
}

} // namespace
} // namespace lw::test
