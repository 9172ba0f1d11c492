// The progress window: its texts, a reset on every showing, and no way for the user to close it.
#include "app/Progress.h"
#include "ui/ProgressBar.h"
#include "ui/QtProgress.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <vector>

namespace lw::test {
namespace {

TEST(ProgressFormTest, ShowingResetsItAndTheUserCannotCloseIt) {
    TProgressForm form;
    EXPECT_EQ(form.windowTitle(), "Progress");
    EXPECT_EQ(form.size(), QSize(297, 49));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowSystemMenuHint);
    form.show();
    form.SetStage("Generating Diff (statics)");
    form.SetProgress(40);
    EXPECT_EQ(form.ProgressLabel->text(), "Generating Diff (statics)");
    EXPECT_EQ(form.ProgressBar->value(), 40);
    form.SetStage("Next");
    EXPECT_EQ(form.ProgressBar->value(), 0);
    form.SetProgress(70);

    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    form.hide();
    form.show();
    EXPECT_EQ(form.ProgressLabel->text(), "Working, please wait...");
    EXPECT_EQ(form.ProgressBar->value(), 0);
}

TEST(ProgressFormTest, QtProgressPassesEveryReportToTheBar) {
    std::vector<int> values;
    ui::QtProgress progress([&](int percent) { values.push_back(percent); });
    for (int percent : {0, 50, 100}) {
        progress.report(percent);
        progress.yield();
    }
    EXPECT_EQ(values, (std::vector<int>{0, 50, 100}));
}

} // namespace
} // namespace lw::test
