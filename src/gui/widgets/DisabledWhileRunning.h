// A window that is disabled takes no clicks or keys, so nothing in it can start a second run or
// change a field an operation is reading; it must come back however the run ends.
#pragma once

#include <QWidget>

namespace lw::gui {

class DisabledWhileRunning {
public:
    explicit DisabledWhileRunning(QWidget& window) : window_(window) { window_.setEnabled(false); }
    ~DisabledWhileRunning() { window_.setEnabled(true); }
    DisabledWhileRunning(const DisabledWhileRunning&) = delete;
    DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

private:
    QWidget& window_;
};

} // namespace lw::gui
