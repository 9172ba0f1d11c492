// The base of the tool windows, fixed-size dialogs unless they say otherwise: their handlers run
// guarded, each showing by the program prepares them, and a close asked for while an operation
// runs waits until it is over.
#pragma once

#include <QDialog>
#include <functional>

namespace lw::gui {

class BusyGuard;
class Dialogs;

class ToolWindow : public QDialog {
    Q_OBJECT
public:
    ToolWindow(Dialogs& dialogs, BusyGuard& busy, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // Runs, guarded, each time the program shows the window (not when the window system shows
    // it again, as after a minimise).
    virtual void showing() {}

    // Runs body inside guarded(): a failure reaches the user through the default error handler.
    void runGuarded(const std::function<void()>& body);
    // Runs op under the busy guard, guarded; a second operation meanwhile is ignored.
    void runOperation(const std::function<void()>& op);

    Dialogs& dialogs_;
    BusyGuard& busy_;
};

} // namespace lw::gui
