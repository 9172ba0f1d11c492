// One operation at a time: nested and queued attempts are dropped, path fields are locked,
// closing waits, and a failure still frees the guard.
#include "gui/widgets/BusyGuard.h"

#include "ScriptedDialogs.h"
#include "util/Errors.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace lw::test {
namespace {

TEST(BusyGuardTest, AttemptsWhileBusyAreDroppedAlsoWhenQueued) {
    gui::BusyGuard busy;
    int runs = 0;
    bool nestedStarted = true;
    const bool started = busy.run([&] {
        ++runs;
        nestedStarted = busy.run([&] { ++runs; });
        // A click that arrives during the run but is delivered only after it.
        QTimer::singleShot(0, [&] { busy.run([&] { ++runs; }); });
    });
    EXPECT_TRUE(started);
    EXPECT_FALSE(nestedStarted);
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(busy.busy());
    EXPECT_TRUE(busy.run([&] { ++runs; }));
    EXPECT_EQ(runs, 2);
}

TEST(BusyGuardTest, PathFieldsAreReadOnlyDuringARun) {
    gui::BusyGuard busy;
    QLineEdit path, alreadyReadOnly;
    alreadyReadOnly.setReadOnly(true);
    busy.lockWhileBusy(path);
    busy.lockWhileBusy(alreadyReadOnly);
    busy.run([&] {
        EXPECT_TRUE(path.isReadOnly());
        EXPECT_TRUE(alreadyReadOnly.isReadOnly());
    });
    EXPECT_FALSE(path.isReadOnly());
    EXPECT_TRUE(alreadyReadOnly.isReadOnly());
}

TEST(BusyGuardTest, AFailureIsShownAndFreesTheGuardAndAPendingCloseHappensAfterwards) {
    gui::BusyGuard busy;
    ScriptedDialogs dialogs;
    QWidget window;
    window.show();
    gui::RunOperation(dialogs, busy, &window, [&] {
        EXPECT_TRUE(busy.deferClose(window));
        EXPECT_TRUE(window.isVisible());
        throw RangeError();
    });
    EXPECT_FALSE(busy.busy());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dialogs.errors(), std::vector<QString>{"Fehler bei Bereichsprüfung"});
    EXPECT_FALSE(busy.deferClose(window));
}

} // namespace
} // namespace lw::test
