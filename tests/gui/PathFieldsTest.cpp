// The path-field helper: each field validated by its role, a window's world files as one facet's,
// the state recorded on the field, and the one event after each change, guarded when the user
// types and in the caller when code sets the text.
#include "ScriptedDialogs.h"
#include "gui/widgets/PathField.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw::test {
namespace {

using gui::FieldState;
using gui::PathRole;

class PathFieldsTest : public ::testing::Test {
protected:
    QString path(const std::string& name) const { return QString::fromStdString(dir_.file(name)); }
    void type(QLineEdit& field, const QString& text) {
        field.selectAll();
        QTest::keyClicks(&field, text);
    }

    TempDir dir_;
    QWidget window_;
    ScriptedDialogs dialogs_;
    gui::PathFields paths_{window_, dialogs_};
};

TEST_F(PathFieldsTest, EachRoleValidatesItsFieldAndTheWorldFilesAreOneFacets) {
    for (const char* name : {"staidx2.mul", "statics2.mul", "STATICS0.MUL", "notes.txt"})
        WriteWholeFile(dir_.file(name), "");
    std::filesystem::create_directory(dir_.file("images"));
    WriteImageFolder(dir_.file("images"), {}, {});
    std::filesystem::create_directory(dir_.file("empty"));

    QLineEdit& staIdx =
        *paths_.add("StaIdxEdit", PathRole::WorldFile(WorldFileKind::StaticsIndex), &window_);
    QLineEdit& statics =
        *paths_.add("StaticsEdit", PathRole::WorldFile(WorldFileKind::Statics), &window_);
    QLineEdit& notes = *paths_.add("NotesEdit", PathRole::AnyFile(), &window_);
    QLineEdit& images = *paths_.add("ImagesEdit", PathRole::ImageFolder(), &window_);
    QStringList events;
    paths_.onValidated([&](QLineEdit& changed) { events.append(changed.objectName()); });
    EXPECT_EQ(staIdx.objectName(), "StaIdxEdit");
    EXPECT_EQ(staIdx.text(), "StaIdxEdit"); // a field starts out holding its own name
    EXPECT_EQ(gui::PathFieldState(staIdx), FieldState::Untouched);

    // Beside a field that names no statics file, which counts as facet 0's.
    type(staIdx, path("staidx2.mul"));
    EXPECT_TRUE(gui::IsRed(staIdx));
    EXPECT_EQ(gui::PathFieldState(statics), FieldState::Untouched);
    type(statics, path("statics2.mul"));
    EXPECT_TRUE(gui::IsGreen(staIdx));
    EXPECT_TRUE(gui::IsGreen(statics));
    EXPECT_EQ(staIdx.palette().color(QPalette::Base), QColor(0, 128, 0));

    type(notes, path("notes.txt"));
    EXPECT_TRUE(gui::IsGreen(notes));
    // Another facet's file turns both red; a field of another role keeps what it was found.
    std::filesystem::remove(dir_.file("notes.txt"));
    type(statics, path("STATICS0.MUL"));
    EXPECT_TRUE(gui::IsRed(staIdx));
    EXPECT_TRUE(gui::IsRed(statics));
    EXPECT_EQ(statics.palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_TRUE(gui::IsGreen(notes));
    type(notes, path("notes.txt"));
    EXPECT_TRUE(gui::IsRed(notes));
    type(notes, path("images")); // a folder is no file
    EXPECT_TRUE(gui::IsRed(notes));

    type(images, path("images"));
    EXPECT_TRUE(gui::IsGreen(images));
    type(images, path("empty"));
    EXPECT_TRUE(gui::IsRed(images));
    EXPECT_FALSE(paths_.allValid());
    ASSERT_FALSE(events.isEmpty());
    EXPECT_EQ(events.back(), "ImagesEdit");
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(PathFieldsTest, TypingRunsTheEventGuardedAndCodeRunsItInTheCaller) {
    WriteWholeFile(dir_.file("staidx0.mul"), "");
    WriteWholeFile(dir_.file("statics0.mul"), "");
    QLineEdit& staIdx =
        *paths_.add("StaIdxEdit", PathRole::WorldFile(WorldFileKind::StaticsIndex), &window_);
    QLineEdit& statics =
        *paths_.add("StaticsEdit", PathRole::WorldFile(WorldFileKind::Statics), &window_);
    int events = 0;
    paths_.onValidated([&](QLineEdit&) {
        ++events;
        throw Error("refused");
    });

    QTest::keyClick(&staIdx, Qt::Key_Backspace);
    EXPECT_EQ(dialogs_.errors(), std::vector<QString>{"refused"});

    // The store's values, in the order the fields were bound; a text that does not change runs
    // nothing, and a failure ends the caller after the field is validated.
    events = 0;
    EXPECT_THROW(paths_.setTexts(std::array<QString, 2>{path("staidx0.mul"), statics.text()}),
                 Error);
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(gui::IsGreen(staIdx));
    EXPECT_NO_THROW(paths_.setText(statics, statics.text()));
    EXPECT_EQ(events, 1);

    paths_.onValidated([](QLineEdit&) {});
    paths_.setText(statics, path("statics0.mul"));
    EXPECT_TRUE(paths_.allValid());
    const std::array<gui::PathFieldValue, 2> values = paths_.values<2>();
    EXPECT_EQ(values[1].path, dir_.file("statics0.mul"));
    EXPECT_TRUE(values[1].valid());
    EXPECT_EQ(dialogs_.errors().size(), 1u);
}

} // namespace
} // namespace lw::test
