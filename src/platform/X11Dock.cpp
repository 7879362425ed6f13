#include "platform/X11Dock.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSet>
#include <QWindow>

#include <array>
#include <cmath>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

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

xcb_window_t rootOf(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

QList<xcb_window_t> propertyWindows(xcb_connection_t* connection, xcb_window_t window,
                                    xcb_atom_t property) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_WINDOW, 0, 4096),
        nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    return QList<xcb_window_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// The window manager's clients (which may sit inside frames of its own), and the root's
// children, which are the top-level windows when no window manager runs.
QList<xcb_window_t> topLevelWindows(xcb_connection_t* connection) {
    const xcb_window_t root = rootOf(connection);
    QSet<xcb_window_t> windows;
    for (const xcb_window_t window :
         propertyWindows(connection, root, atom(connection, "_NET_CLIENT_LIST")))
        windows.insert(window);
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        windows.unite(
            QSet<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get())));
    }
    return windows.values();
}

std::vector<uint32_t> cardinals(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_CARDINAL)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// A window's top strut in device pixels, with the span of x it covers: the partial form,
// else the old one, which covers the whole width.
struct TopStrut {
    uint32_t bottom = 0;
    uint32_t left = 0;
    uint32_t right = UINT32_MAX;
};

std::optional<TopStrut> topStrutOf(const std::vector<uint32_t>& partial,
                                   const std::vector<uint32_t>& plain) {
    if (partial.size() >= 12)
        return TopStrut{partial[2], partial[8], partial[9]};
    if (plain.size() >= 4)
        return TopStrut{plain[2]};
    return std::nullopt;
}

// Root window property changes, seen before Qt handles them.
class WorkAreaWatch : public QObject, public QAbstractNativeEventFilter {
public:
    WorkAreaWatch(xcb_connection_t* connection, std::function<void()> changed, QObject* parent)
        : QObject(parent), m_root(rootOf(connection)),
          m_workArea(atom(connection, "_NET_WORKAREA")), m_changed(std::move(changed)) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, m_root), nullptr));
        const uint32_t mask =
            (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection);
        qGuiApp->installNativeEventFilter(this);
    }
    ~WorkAreaWatch() override { qGuiApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == m_root && notify->atom == m_workArea)
            QMetaObject::invokeMethod(this, m_changed, Qt::QueuedConnection);
        return false;
    }

private:
    xcb_window_t m_root;
    xcb_atom_t m_workArea;
    std::function<void()> m_changed;
};

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

void keepOffTaskbars(QWindow* window) {
    xcb_connection_t* x = connection();
    if (!x)
        return;
    // Qt adds its own states to what the property holds when it maps the window.
    const std::array<xcb_atom_t, 2> states{atom(x, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(x, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(x, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());
    xcb_flush(x);
}

void activate(QWindow* window) {
    xcb_connection_t* x = connection();
    if (!x || !window)
        return;
    // Source 2 is a pager's request, which window managers carry out even for an application
    // the user is not working in: the user asked by starting the program again.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window->winId());
    message.type = atom(x, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x, 0, rootOf(x),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);
}

bool hasCompositor() {
    xcb_connection_t* x = connection();
    if (!x)
        return true; // Wayland compositors composite by definition
    // One X screen spans every monitor under XRandR, so the compositor owns screen 0's name.
    const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        x, xcb_get_selection_owner(x, atom(x, "_NET_WM_CM_S0")), nullptr));
    return owner && owner->owner != XCB_NONE;
}

void flush() {
    if (xcb_connection_t* x = connection())
        xcb_flush(x);
}

bool reserveTopStrip(QWindow* window, const QRect& area) {
    xcb_connection_t* x = connection();
    if (!x)
        return false;
    const qreal ratio = window->devicePixelRatio();
    const auto top = uint32_t(qRound((area.y() + area.height()) * ratio));
    const auto left = uint32_t(qRound(area.x() * ratio));
    const auto right = uint32_t(qRound((area.x() + area.width()) * ratio)) - 1;
    // left, right, top, bottom, then the start and end of each of the four strips
    setCardinals<12>(x, window, "_NET_WM_STRUT_PARTIAL",
                     {0, 0, top, 0, 0, 0, 0, 0, left, right, 0, 0});
    setCardinals<4>(x, window, "_NET_WM_STRUT", {0, 0, top, 0});
    xcb_flush(x);
    return true;
}

// Every window is asked about at once and the answers read after: one round trip however
// many windows there are.
std::optional<int> lowestTopStrut(const QWindow* own, int left, int right) {
    xcb_connection_t* x = connection();
    if (!x)
        return std::nullopt;
    const xcb_window_t ownId = own && own->handle() ? xcb_window_t(own->winId()) : XCB_NONE;
    const xcb_atom_t partialAtom = atom(x, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t plainAtom = atom(x, "_NET_WM_STRUT");
    struct Asked {
        xcb_get_window_attributes_cookie_t state;
        xcb_get_property_cookie_t partial;
        xcb_get_property_cookie_t plain;
    };
    std::vector<Asked> asked;
    for (const xcb_window_t window : topLevelWindows(x)) {
        if (window == ownId)
            continue;
        asked.push_back({xcb_get_window_attributes(x, window),
                         xcb_get_property(x, 0, window, partialAtom, XCB_ATOM_CARDINAL, 0, 12),
                         xcb_get_property(x, 0, window, plainAtom, XCB_ATOM_CARDINAL, 0, 4)});
    }
    const qreal ratio = own ? own->devicePixelRatio() : qGuiApp->devicePixelRatio();
    const auto deviceLeft = uint32_t(std::max<qreal>(0, std::round(left * ratio)));
    const auto deviceRight = uint32_t(std::max<qreal>(0, std::round((right + 1) * ratio) - 1));
    uint32_t lowest = 0;
    for (const Asked& window : asked) {
        const Reply<xcb_get_window_attributes_reply_t> state(
            xcb_get_window_attributes_reply(x, window.state, nullptr));
        const auto strut = topStrutOf(cardinals(x, window.partial), cardinals(x, window.plain));
        // A window manager ignores the struts of windows that are not shown.
        if (!state || state->map_state != XCB_MAP_STATE_VIEWABLE || !strut)
            continue;
        if (strut->left <= deviceRight && strut->right >= deviceLeft)
            lowest = std::max(lowest, strut->bottom);
    }
    if (lowest == 0)
        return std::nullopt;
    return int(std::ceil(lowest / ratio));
}

std::optional<QRect> workArea() {
    xcb_connection_t* x = connection();
    if (!x)
        return std::nullopt;
    const xcb_window_t root = rootOf(x);
    const auto desktop = cardinals(
        x, xcb_get_property(x, 0, root, atom(x, "_NET_CURRENT_DESKTOP"), XCB_ATOM_CARDINAL, 0, 1));
    const auto areas = cardinals(
        x, xcb_get_property(x, 0, root, atom(x, "_NET_WORKAREA"), XCB_ATOM_CARDINAL, 0, 4096));
    // Four values per desktop: x, y, width, height.
    const size_t first = desktop.empty() ? 0 : size_t(desktop.front()) * 4;
    if (areas.size() < first + 4)
        return std::nullopt;
    const qreal ratio = qGuiApp->devicePixelRatio();
    return QRectF(areas[first] / ratio, areas[first + 1] / ratio, areas[first + 2] / ratio,
                  areas[first + 3] / ratio)
        .toAlignedRect();
}

QObject* watchWorkArea(std::function<void()> changed, QObject* parent) {
    xcb_connection_t* x = connection();
    return x ? new WorkAreaWatch(x, std::move(changed), parent) : nullptr;
}

} // namespace X11Dock
