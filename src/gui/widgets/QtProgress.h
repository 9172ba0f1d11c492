// The desktop program's progress: reports go to a bar, and yield() lets Qt process pending
// events so the windows repaint and stay clickable while an operation runs.
#pragma once

#include "util/Progress.h"

#include <QElapsedTimer>
#include <functional>

namespace lw::gui {

class QtProgress final : public Progress {
public:
    explicit QtProgress(std::function<void(int)> setBar);
    void report(int percent) override;
    // Processes events at most every few milliseconds: a read of a cached index reports 768
    // columns in well under a millisecond, and repainting after each would cost far more
    // than the read while showing nothing a person could see.
    void yield() override;

private:
    std::function<void(int)> setBar_;
    QElapsedTimer sinceYield_;
};

} // namespace lw::gui
