// The progress window: its texts, a reset on every showing, and no way for the user to close it.
#include "gui/ProgressWindow.h"

#include "FindControl.h"
#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/QtProgress.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <vector>

namespace lw::test {
namespace {

TEST(ProgressFormTest, ShowingResetsItAndTheUserCannotCloseIt) {
    ProgressWindow form;
    const auto& label = Find<QLabel>(form, "ProgressLabel");
    const auto& bar = Find<gui::ProgressBar>(form, "ProgressBar");
    EXPECT_EQ(form.windowTitle(), "Progress");
    EXPECT_EQ(Find(form, "ClientArea").size(), QSize(297, 49));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    if (const auto* caption = form.findChild<QLabel*>("CaptionBar")) {
        // Drawn by the window itself: no window manager can add buttons to it.
        EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(caption->text(), "Progress");
    }
    form.show();
    form.setStage("Generating Diff (statics)");
    form.setStageProgress(40);
    EXPECT_EQ(label.text(), "Generating Diff (statics)");
    EXPECT_EQ(bar.value(), 40);
    form.setStage("Next");
    EXPECT_EQ(bar.value(), 0);
    form.setStageProgress(70);

    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    form.hide();
    form.show();
    EXPECT_EQ(label.text(), "Working, please wait...");
    EXPECT_EQ(bar.value(), 0);
}

TEST(ProgressFormTest, QtProgressPassesEveryReportToTheBar) {
    std::vector<int> values;
    gui::QtProgress progress([&](int percent) { values.push_back(percent); });
    for (int percent : {0, 50, 100}) {
        progress.report(percent);
        progress.yield();
    }
    EXPECT_EQ(values, (std::vector<int>{0, 50, 100}));
}

} // namespace
} // namespace lw::test
