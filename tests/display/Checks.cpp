#include "Checks.h"

#include "X11Desktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <memory>

namespace lw::display {
namespace {

constexpr int kIdleMs = 3000;
constexpr double kIdleCpuShare = 0.05;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Counts the resizes and moves a window gets while the program idles.
class GeometryWatch final : public QObject {
public:
    explicit GeometryWatch(QWidget& window) : window_(window) { window.installEventFilter(this); }
    ~GeometryWatch() override { window_.removeEventFilter(this); }
    int changes = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            ++changes;
        return false;
    }

private:
    QWidget& window_;
};

} // namespace

QRect FrameOf(const X11Desktop& desktop, const QWidget& window) {
    return desktop.frameOf(window).value_or(window.geometry());
}

QString StateText(const X11Desktop& desktop, const std::vector<QWidget*>& windows) {
    QStringList states;
    for (QWidget* window : windows) {
        const QWindow* handle = window->windowHandle();
        const std::optional<QRect> frame = desktop.frameOf(*window);
        states << QStringLiteral("%1 %2%3, %4")
                      .arg(window->objectName(), window->isVisible() ? "shown" : "hidden",
                           handle != nullptr && handle->isExposed() ? " exposed" : "",
                           frame ? QStringLiteral("frame ") + RectText(*frame)
                                 : QStringLiteral("no frame yet, geometry ") +
                                       RectText(window->geometry()));
    }
    return states.join(QStringLiteral("; "));
}

bool CheckList::check(bool ok, const QString& what, const QString& found) {
    ++count_;
    if (!ok)
        ++failures_;
    std::printf("%s %s%s\n", ok ? "ok  " : "FAIL", qPrintable(what),
                found.isEmpty() ? "" : qPrintable(QStringLiteral(": ") + found));
    std::fflush(stdout);
    return ok;
}

void ProcessEventsFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        ProcessEventsFor(20);
    }
    return true;
}

bool WaitSettled(const X11Desktop& desktop, const std::vector<QWidget*>& windows, int timeoutMs) {
    const auto ready = [&] {
        for (QWidget* window : windows) {
            QWindow* handle = window->windowHandle();
            if (!window->isVisible() || handle == nullptr || !handle->isExposed() ||
                !desktop.frameOf(*window))
                return false;
        }
        return true;
    };
    const auto geometries = [&] {
        std::vector<QRect> all;
        for (QWidget* window : windows)
            all.push_back(FrameOf(desktop, *window));
        return all;
    };
    QElapsedTimer timer;
    timer.start();
    std::vector<QRect> last;
    QElapsedTimer steady;
    steady.start();
    while (timer.elapsed() < timeoutMs) {
        ProcessEventsFor(20);
        if (!ready()) {
            last.clear();
            continue;
        }
        const std::vector<QRect> now = geometries();
        if (now != last) {
            last = now;
            steady.restart();
        } else if (steady.elapsed() >= 300) {
            return true;
        }
    }
    return false;
}

QString SizeText(const QSize& size) {
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

QString RectText(const QRect& rect) {
    return QStringLiteral("%1,%2 %3").arg(rect.x()).arg(rect.y()).arg(SizeText(rect.size()));
}

QStringList ControlsOutside(QWidget& window) {
    QStringList outside;
    const QRect bounds = window.rect();
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
            control->window() != &window || !control->isVisibleTo(&window))
            continue;
        const QRect at(control->mapTo(&window, QPoint(0, 0)), control->size());
        if (at.isEmpty() || !bounds.contains(at))
            outside << QStringLiteral("%1 (%2)").arg(name, RectText(at));
    }
    return outside;
}

void CheckWindows(CheckList& checks, const X11Desktop& desktop, const QString& moment,
                  const std::vector<WindowSpec>& specs) {
    std::vector<QWidget*> windows;
    for (const WindowSpec& spec : specs)
        windows.push_back(spec.window);
    if (!checks.check(WaitSettled(desktop, windows), moment + QStringLiteral(": shown and settled"),
                      StateText(desktop, windows)))
        return;

    const auto clientSize = [](const WindowSpec& spec) {
        return spec.client != nullptr ? spec.client->size() : spec.window->size();
    };
    for (const WindowSpec& spec : specs) {
        checks.check(clientSize(spec) == spec.size,
                     moment + QStringLiteral(": %1 is %2").arg(spec.name, SizeText(spec.size)),
                     SizeText(clientSize(spec)));
        if (spec.sizing == Sizing::Fixed)
            checks.check(spec.window->minimumSize() == spec.window->maximumSize(),
                         moment + QStringLiteral(": %1 has a fixed size").arg(spec.name),
                         SizeText(spec.window->minimumSize()) + QStringLiteral(" to ") +
                             SizeText(spec.window->maximumSize()));
    }

    std::vector<QRect> before;
    std::vector<std::unique_ptr<GeometryWatch>> watches;
    for (const WindowSpec& spec : specs) {
        before.push_back(FrameOf(desktop, *spec.window));
        watches.push_back(std::make_unique<GeometryWatch>(*spec.window));
    }
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = ProcessCpuSeconds();
    ProcessEventsFor(kIdleMs);
    const double cpuShare =
        (ProcessCpuSeconds() - cpuBefore) / (static_cast<double>(wall.elapsed()) / 1000.0);
    checks.check(cpuShare < kIdleCpuShare,
                 moment + QStringLiteral(": idle for 3 s with under 5 % of a core"),
                 QStringLiteral("%1 %").arg(cpuShare * 100.0, 0, 'f', 1));

    for (std::size_t i = 0; i < specs.size(); ++i) {
        const WindowSpec& spec = specs[i];
        const QRect after = FrameOf(desktop, *spec.window);
        checks.check(after == before[i] && watches[i]->changes == 0,
                     moment + QStringLiteral(": %1 keeps its geometry").arg(spec.name),
                     QStringLiteral("%1, then %2 after %3 changes")
                         .arg(RectText(before[i]), RectText(after))
                         .arg(watches[i]->changes));
        const QRect screen = spec.window->screen()->geometry();
        checks.check(screen.contains(after),
                     moment + QStringLiteral(": %1 lies on the screen").arg(spec.name),
                     RectText(after) + QStringLiteral(" on ") + RectText(screen));
        const QStringList outside = ControlsOutside(*spec.window);
        checks.check(outside.isEmpty(),
                     moment + QStringLiteral(": every control of %1 lies inside it").arg(spec.name),
                     outside.join(QStringLiteral(", ")));
    }
}

} // namespace lw::display
