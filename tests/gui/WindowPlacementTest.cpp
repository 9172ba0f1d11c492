// Where windows open: message boxes, text windows and the progress window centred over what they
// belong to, the palette beside the map editor, and a file's detail line kept whole in an error
// box.
#include "gui/widgets/WindowPlacement.h"

#include "gui/ProgressWindow.h"
#include "gui/widgets/Dialogs.h"

#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace lw::test {
namespace {

TEST(WindowPlacement, BesideToTheRightThenToTheLeftAndAlwaysOnTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize palette(368, 356);
    const struct {
        QRect anchor;
        QPoint at;
    } cases[] = {
        {{100, 50, 699, 600}, {805, 50}},   // room on the right, a gap between
        {{600, 50, 699, 600}, {226, 50}},   // only on the left
        {{200, 900, 900, 600}, {912, 668}}, // neither: at the right edge, raised onto the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(gui::BesideOf(c.anchor, palette, screen), c.at) << c.anchor.x();
    EXPECT_EQ(gui::CentredOver({100, 100, 600, 400}, {200, 100}, screen), QPoint(300, 250));
    EXPECT_EQ(gui::CentredOver({-300, 0, 200, 100}, {400, 100}, screen), QPoint(0, 0));
}

gui::MessageRequest ErrorAbout(const QString& detail) {
    return {QStringLiteral("Loamwright"),
            QStringLiteral("Dateizugriff verweigert"),
            gui::MessageIcon::Error,
            {gui::MessageButton::Ok},
            detail};
}

TEST(MessageBoxes, TheDetailLineKeepsAFileAndItsPathWhole) {
    const QString detail =
        QStringLiteral("map0.mul (target map): /home/operator/shard/world files/map0.mul");
    const std::unique_ptr<QMessageBox> box = gui::MakeMessageBox(nullptr, ErrorAbout(detail));
    box->show();
    QCoreApplication::processEvents();
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(detail));
}

// The first-start question comes while the main window is not on the screen yet: the box must
// not open at that window's unplaced corner.
TEST(MessageBoxes, CentredOverTheirWindowOrTheScreenWhileTheWindowIsNotShown) {
    QWidget window;
    window.setGeometry(40, 30, 500, 400);
    const std::unique_ptr<QMessageBox> early = gui::MakeMessageBox(&window, ErrorAbout({}));
    EXPECT_EQ(early->parentWidget(), nullptr);
    early->show();
    QCoreApplication::processEvents();
    const QRect screen = early->screen()->availableGeometry();
    EXPECT_LE((early->frameGeometry().center() - screen.center()).manhattanLength(), 2);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const std::unique_ptr<QMessageBox> later = gui::MakeMessageBox(&window, ErrorAbout({}));
    EXPECT_EQ(later->parentWidget(), &window);
    later->show();
    QCoreApplication::processEvents();
    EXPECT_LE((later->frameGeometry().center() - window.frameGeometry().center()).manhattanLength(),
              2);
}

TEST(TextWindows, ReadOnlyMonospaceResizableCentredOverTheirWindowAndClosedByClose) {
    QWidget window;
    window.setGeometry(200, 150, 457, 361); // room around it for the larger window
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const std::unique_ptr<QDialog> text =
        gui::MakeTextWindow(&window, {QStringLiteral("Changes in world.lw2"),
                                      {"version: 2", "parts: map"},
                                      QStringLiteral("DiffInfoText")});
    text->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(text.get()));
    EXPECT_EQ(text->windowTitle(), "Changes in world.lw2");
    EXPECT_EQ(text->size(), QSize(640, 400));
    EXPECT_LT(text->minimumWidth(), 640); // the user may make it smaller and larger
    EXPECT_GT(text->maximumWidth(), 640);
    EXPECT_LE((text->frameGeometry().center() - window.frameGeometry().center()).manhattanLength(),
              2);
    auto* lines = text->findChild<QPlainTextEdit*>(QStringLiteral("DiffInfoText"));
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->toPlainText(), "version: 2\nparts: map");
    EXPECT_TRUE(lines->isReadOnly());
    EXPECT_TRUE(QFontInfo(lines->font()).fixedPitch());
    auto* close = text->findChild<QPushButton*>(QStringLiteral("CloseButton"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "Close");
    close->click();
    EXPECT_FALSE(text->isVisible());
}

TEST(ProgressWindowPlace, ItOpensOverTheMiddleOfItsWindow) {
    QWidget main;
    main.setGeometry(60, 40, 619, 425);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ProgressWindow progress(&main);
    progress.showStages();
    QCoreApplication::processEvents();
    EXPECT_LE((progress.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(),
              2);
}

} // namespace
} // namespace lw::test
