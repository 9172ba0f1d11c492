// What the X server and its window manager say about our windows, beyond what Qt reports: whether
// a window manager runs, the stacking order of the managed windows and the actions the window
// manager offers on a window.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace lw::display {

class X11Desktop {
public:
    // Null when the program does not run on the xcb platform.
    static std::optional<X11Desktop> connect();

    // The name of the running window manager, or an empty text while none has announced itself.
    QString windowManagerName() const;
    // True when `upper` is stacked above `lower` among the managed windows.
    bool isStackedAbove(const QWidget& upper, const QWidget& lower) const;
    // A window's frame on the screen as the X server has it (the window manager's frame around
    // it, or the window alone where it has none), or nothing while it is not framed yet. Qt keeps
    // the frame margins it saw first, which can be none when they are asked for too early.
    std::optional<QRect> frameOf(const QWidget& window) const;
    // The window manager's _NET_WM_ALLOWED_ACTIONS of a window, e.g.
    // "_NET_WM_ACTION_MAXIMIZE_HORZ".
    QStringList allowedActions(const QWidget& window) const;

private:
    explicit X11Desktop(void* connection, unsigned root) : connection_(connection), root_(root) {}

    void* connection_;
    unsigned root_;
};

} // namespace lw::display
