#include "X11Desktop.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace lw::display {
namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* Xcb(void* connection) {
    return static_cast<xcb_connection_t*>(connection);
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QString AtomName(xcb_connection_t* c, xcb_atom_t atom) {
    const Reply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!reply)
        return {};
    return QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                               xcb_get_atom_name_name_length(reply.get()));
}

// A property of 32-bit items (windows, atoms), empty when it is not set.
std::vector<std::uint32_t> Items(xcb_connection_t* c, xcb_window_t window, const char* property,
                                 xcb_atom_t type) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, Atom(c, property), type, 0, 4096), nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return {data, data + count};
}

QString Text(xcb_connection_t* c, xcb_window_t window, const char* property) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, Atom(c, property), Atom(c, "UTF8_STRING"), 0, 1024),
        nullptr));
    if (!reply)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

xcb_window_t WindowOf(const QWidget& widget) {
    return static_cast<xcb_window_t>(widget.windowHandle() ? widget.windowHandle()->winId() : 0);
}

} // namespace

std::optional<X11Desktop> X11Desktop::connect() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return std::nullopt;
    xcb_connection_t* c = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return X11Desktop(c, screen->root);
}

QString X11Desktop::windowManagerName() const {
    xcb_connection_t* c = Xcb(connection_);
    const std::vector<std::uint32_t> check =
        Items(c, root_, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    if (check.empty())
        return {};
    const QString name = Text(c, check.front(), "_NET_WM_NAME");
    return name.isEmpty() ? QStringLiteral("(unnamed)") : name;
}

bool X11Desktop::isStackedAbove(const QWidget& upper, const QWidget& lower) const {
    const std::vector<std::uint32_t> order =
        Items(Xcb(connection_), root_, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    int upperAt = -1, lowerAt = -1;
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        if (order[static_cast<std::size_t>(i)] == WindowOf(upper))
            upperAt = i;
        if (order[static_cast<std::size_t>(i)] == WindowOf(lower))
            lowerAt = i;
    }
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

std::optional<QRect> X11Desktop::frameOf(const QWidget& window) const {
    xcb_connection_t* c = Xcb(connection_);
    const xcb_window_t id = WindowOf(window);
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, root_, 0, 0), nullptr));
    if (!geometry || !at)
        return std::nullopt;
    const QRect client(at->dst_x, at->dst_y, geometry->width, geometry->height);
    if (window.windowFlags() & Qt::FramelessWindowHint)
        return client;
    // left, right, top, bottom
    const std::vector<std::uint32_t> extents =
        Items(c, id, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (extents.size() != 4)
        return std::nullopt;
    return client.adjusted(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]),
                           static_cast<int>(extents[1]), static_cast<int>(extents[3]));
}

QStringList X11Desktop::allowedActions(const QWidget& window) const {
    xcb_connection_t* c = Xcb(connection_);
    QStringList names;
    for (const std::uint32_t atom :
         Items(c, WindowOf(window), "_NET_WM_ALLOWED_ACTIONS", XCB_ATOM_ATOM))
        names << AtomName(c, atom);
    return names;
}

} // namespace lw::display
