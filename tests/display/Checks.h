// The checks the display stage makes on a window shown on a real X server under a window
// manager: its size, that it stays as it is while the program idles (and the program stays idle),
// that it lies on the screen, and that each of its named controls lies inside it.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace lw::display {

class X11Desktop;

// Prints every check as it is made and counts the failures.
class CheckList {
public:
    bool check(bool ok, const QString& what, const QString& found = {});
    int failures() const { return failures_; }
    int count() const { return count_; }

private:
    int failures_ = 0;
    int count_ = 0;
};

// Runs the event loop for the given time without spinning.
void ProcessEventsFor(int milliseconds);
// Runs the event loop until done() holds or the time is up; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// Waits until every window is mapped, exposed, framed by the window manager (unless it has no
// frame) and has kept its frame for a moment.
bool WaitSettled(const X11Desktop& desktop, const std::vector<QWidget*>& windows,
                 int timeoutMs = 30000);
// A window's frame as the X server has it (its geometry while it is not framed).
QRect FrameOf(const X11Desktop& desktop, const QWidget& window);

// Whether each window is shown and exposed, and its frame: what a check that failed found.
QString StateText(const X11Desktop& desktop, const std::vector<QWidget*>& windows);
QString SizeText(const QSize& size);
QString RectText(const QRect& rect);

enum class Sizing { Fixed, Initial };

struct WindowSpec {
    QWidget* window;
    QString name;              // as the check lines call it
    QSize size;                // the client area it must have
    Sizing sizing;             // fixed windows also refuse any other size
    QWidget* client = nullptr; // the part that has the size, when not the whole window
};

// The checks of one moment: settled, the expected sizes, 3 s of idle event processing without a
// change of geometry and with under 5 % of a core, on the screen, every named control inside.
void CheckWindows(CheckList& checks, const X11Desktop& desktop, const QString& moment,
                  const std::vector<WindowSpec>& specs);

// The named controls of a window (not those of windows it owns) that are visible but do not lie
// wholly inside it, or are squeezed to nothing; as "name (x,y w x h)" texts.
QStringList ControlsOutside(QWidget& window);

} // namespace lw::display
