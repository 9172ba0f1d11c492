#include "gui/widgets/ToolWindow.h"

#include "gui/widgets/BusyGuard.h"
#include "gui/widgets/Guarded.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace lw::gui {

namespace {

// A title and a close box, nothing else: a window manager that is offered a minimise button also
// draws a maximise button beside it, which a fixed window cannot honour.
constexpr Qt::WindowFlags kFixedWindowFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                              Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

} // namespace

ToolWindow::ToolWindow(Dialogs& dialogs, BusyGuard& busy, QWidget* parent)
    : QDialog(parent, kFixedWindowFlags), dialogs_(dialogs), busy_(busy) {}

void ToolWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { showing(); });
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    if (busy_.deferClose(*this)) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ToolWindow::runGuarded(const std::function<void()>& body) {
    guarded(dialogs_, this, body);
}

void ToolWindow::runOperation(const std::function<void()>& op) {
    RunOperation(dialogs_, busy_, this, op);
}

} // namespace lw::gui
