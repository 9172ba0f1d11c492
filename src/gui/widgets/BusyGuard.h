// One operation at a time. Operations let Qt process events so the windows repaint; a click
// that arrives meanwhile must not start a second run on the same files, neither at once nor
// after the first run has ended, and closing a window waits until the run is over.
#pragma once

#include <QPointer>
#include <functional>
#include <vector>

class QLineEdit;
class QWidget;

namespace lw::gui {

class Dialogs;

class BusyGuard {
public:
    bool busy() const { return busy_; }

    // Runs op unless an operation is running (then returns false and does nothing). Path
    // fields registered with lockWhileBusy are read-only meanwhile. Exceptions pass through.
    bool run(const std::function<void()>& op);

    void lockWhileBusy(QLineEdit& field);

    // For closeEvent: while busy, remembers the window and returns true (ignore the close);
    // closeDeferred() closes it once the run is over.
    bool deferClose(QWidget& window);
    void closeDeferred();

private:
    void begin();
    void end();

    bool busy_ = false;
    std::vector<QPointer<QLineEdit>> lockable_;
    std::vector<QPointer<QLineEdit>> locked_;
    std::vector<QPointer<QWidget>> closing_;
};

// A window's operation handler: runs op under the busy guard inside guarded(), shows any
// error, then performs a close that was asked for meanwhile.
void RunOperation(Dialogs& dialogs, BusyGuard& busy, QWidget* window,
                  const std::function<void()>& op);

} // namespace lw::gui
