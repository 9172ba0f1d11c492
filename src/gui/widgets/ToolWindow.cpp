#include "gui/widgets/ToolWindow.h"

#include "gui/widgets/BusyGuard.h"
#include "gui/widgets/Guarded.h"

#include <QCloseEvent>

namespace lw::gui {

ToolWindow::ToolWindow(Dialogs& dialogs, BusyGuard& busy, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), dialogs_(dialogs),
      busy_(busy) {}

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
