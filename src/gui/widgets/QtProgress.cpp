#include "gui/widgets/QtProgress.h"

#include <QCoreApplication>

namespace lw::gui {
namespace {
constexpr qint64 kYieldIntervalMs = 15;
}

QtProgress::QtProgress(std::function<void(int)> setBar) : setBar_(std::move(setBar)) {
    sinceYield_.start();
}

void QtProgress::report(int percent) {
    setBar_(percent);
}

void QtProgress::yield() {
    if (sinceYield_.elapsed() < kYieldIntervalMs)
        return;
    QCoreApplication::processEvents();
    sinceYield_.restart();
}

} // namespace lw::gui
