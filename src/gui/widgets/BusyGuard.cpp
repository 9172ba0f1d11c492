#include "gui/widgets/BusyGuard.h"

#include "gui/widgets/Guarded.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QWidget>
#include <exception>

namespace lw::gui {

bool BusyGuard::run(const std::function<void()>& op) {
    if (busy_)
        return false;
    begin();
    std::exception_ptr failure;
    try {
        op();
    } catch (...) {
        failure = std::current_exception();
    }
    end();
    if (failure)
        std::rethrow_exception(failure);
    return true;
}

void BusyGuard::lockWhileBusy(QLineEdit& field) {
    lockable_.emplace_back(&field);
}

void BusyGuard::begin() {
    busy_ = true;
    locked_.clear();
    for (const QPointer<QLineEdit>& field : lockable_)
        if (field && !field->isReadOnly()) {
            field->setReadOnly(true);
            locked_.push_back(field);
        }
}

void BusyGuard::end() {
    // Clicks and keys that queued up while the run went on are delivered now, while still
    // busy, so they are dropped instead of starting another run.
    QCoreApplication::processEvents();
    for (const QPointer<QLineEdit>& field : locked_)
        if (field)
            field->setReadOnly(false);
    locked_.clear();
    busy_ = false;
}

bool BusyGuard::deferClose(QWidget& window) {
    if (!busy_)
        return false;
    closing_.emplace_back(&window);
    return true;
}

void BusyGuard::closeDeferred() {
    if (busy_)
        return;
    auto windows = std::move(closing_);
    closing_.clear();
    for (const QPointer<QWidget>& window : windows)
        if (window)
            window->close();
}

void RunOperation(Dialogs& dialogs, BusyGuard& busy, QWidget* window,
                  const std::function<void()>& op) {
    guarded(dialogs, window, [&] { busy.run(op); });
    busy.closeDeferred();
}

} // namespace lw::gui
