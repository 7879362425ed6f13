#include "platform/X11Dock.h"

#include <QGuiApplication>
#include <QWindow>

#include <array>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != "xcb")
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

template <size_t N>
void setCardinals(xcb_connection_t* connection, QWindow* window, const char* property,
                  const std::array<uint32_t, N>& values) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(connection, property), XCB_ATOM_CARDINAL, 32, uint32_t(N),
                        values.data());
}

} // namespace

namespace X11Dock {

void markAsDock(QWindow* window) {
    xcb_connection_t* x = connection();
    if (!x)
        return;
    const xcb_atom_t dock = atom(x, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(x, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dock);
    xcb_flush(x);
}

void reserveTopStrip(QWindow* window, const QRect& area) {
    xcb_connection_t* x = connection();
    if (!x)
        return;
    const qreal ratio = window->devicePixelRatio();
    const auto top = uint32_t(qRound((area.y() + area.height()) * ratio));
    const auto left = uint32_t(qRound(area.x() * ratio));
    const auto right = uint32_t(qRound((area.x() + area.width()) * ratio)) - 1;
    // left, right, top, bottom, then the start and end of each of the four strips
    setCardinals<12>(x, window, "_NET_WM_STRUT_PARTIAL",
                     {0, 0, top, 0, 0, 0, 0, 0, left, right, 0, 0});
    setCardinals<4>(x, window, "_NET_WM_STRUT", {0, 0, top, 0});
    xcb_flush(x);
}

} // namespace X11Dock
