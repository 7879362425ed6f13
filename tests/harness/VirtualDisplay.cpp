#include "harness/VirtualDisplay.h"

#include <QSysInfo>

#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Whether the server keeps 24-bit pixels as 32-bit words in this machine's byte order, which
// is what QImage's RGB32 is. Xvfb on the test machine does; anything else is not read.
bool serverPixelsAreRgb32(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian)
        return false;
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem;
         xcb_format_next(&format)) {
        if (format.data->depth == 24)
            return format.data->bits_per_pixel == 32 && format.data->scanline_pad == 32;
    }
    return false;
}

const VirtualDisplay* processDisplay = nullptr;

} // namespace

// Xvfb picks a free display itself and writes its number to its output once it accepts
// connections.
VirtualDisplay::VirtualDisplay(WindowManager manager, QSize size) : m_size(size) {
    const QString screen = QString("%1x%2x24").arg(size.width()).arg(size.height());
    m_server.start("Xvfb",
                   {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"});
    for (int wait = 0; wait < 100 && !m_server.canReadLine(); ++wait)
        m_server.waitForReadyRead(100);
    if (!m_server.canReadLine())
        return;
    m_name = ":" + QString::fromLatin1(m_server.readLine().trimmed());
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(m_name.toLatin1().constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (manager == WindowManager::openbox && !startWindowManager()) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
}

VirtualDisplay::~VirtualDisplay() {
    if (m_connection)
        xcb_disconnect(m_connection);
    for (QProcess* process : {&m_windowManager, &m_server}) {
        process->terminate();
        process->waitForFinished(3000);
    }
}

// The window manager is the desktop's, not the program's under test: it reads its theme and
// settings from the system's folders, which the tests' own environment hides. It is ready once
// it manages windows: a window of the test's own, asked to be shown, is shown.
bool VirtualDisplay::startWindowManager() {
    QProcessEnvironment environment = this->environment();
    environment.insert("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    environment.insert("XDG_CONFIG_DIRS", "/etc/xdg");
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.setStandardOutputFile(QProcess::nullDevice());
    m_windowManager.setStandardErrorFile(QProcess::nullDevice());
    m_windowManager.start("openbox", {"--sm-disable"});
    if (!m_windowManager.waitForStarted(5000))
        return false;
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t probe = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    bool managing = false;
    for (int wait = 0; wait < 300 && !managing && m_windowManager.state() == QProcess::Running;
         ++wait) {
        const Reply<xcb_get_property_reply_t> named(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, check, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        if (named && xcb_get_property_value_length(named.get()) == 4) {
            xcb_map_window(m_connection, probe);
            const Reply<xcb_get_window_attributes_reply_t> state(xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, probe), nullptr));
            managing = state && state->map_state == XCB_MAP_STATE_VIEWABLE;
        }
        if (!managing)
            m_windowManager.waitForFinished(50);
    }
    xcb_destroy_window(m_connection, probe);
    xcb_flush(m_connection);
    return managing;
}

QProcessEnvironment VirtualDisplay::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_name);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
}

QByteArray VirtualDisplay::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

std::uint32_t VirtualDisplay::atom(const char* name) const {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Every window is asked about at once, and the answers read after.
QList<VirtualDisplay::Shown> VirtualDisplay::shownWindows() const {
    if (!m_connection)
        return {};
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (!tree)
        return {};
    const Reply<xcb_get_property_reply_t> managed(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, m_root, atom("_NET_CLIENT_LIST_STACKING"),
                         XCB_ATOM_WINDOW, 0, 4096),
        nullptr));
    std::vector<xcb_window_t> windows;
    if (managed) {
        const auto* clients =
            static_cast<const xcb_window_t*>(xcb_get_property_value(managed.get()));
        windows.assign(clients, clients + xcb_get_property_value_length(managed.get()) / 4);
    }
    const std::size_t managedCount = windows.size();
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));

    const xcb_atom_t nameAtom = atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    std::vector<xcb_get_window_attributes_cookie_t> states;
    std::vector<xcb_get_property_cookie_t> names;
    for (const xcb_window_t window : windows) {
        states.push_back(xcb_get_window_attributes(m_connection, window));
        names.push_back(xcb_get_property(m_connection, 0, window, nameAtom, utf8, 0, 1024));
    }
    const bool withManager = m_windowManager.state() == QProcess::Running;
    QList<Shown> shown;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const Reply<xcb_get_window_attributes_reply_t> state(
            xcb_get_window_attributes_reply(m_connection, states[i], nullptr));
        const Reply<xcb_get_property_reply_t> name(
            xcb_get_property_reply(m_connection, names[i], nullptr));
        const bool managedWindow = i < managedCount;
        // Under a window manager the root's other children are its frames around the clients.
        if (!state || state->map_state != XCB_MAP_STATE_VIEWABLE ||
            (!managedWindow && withManager && !state->override_redirect))
            continue;
        const QString title =
            name ? QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(name.get())),
                                     xcb_get_property_value_length(name.get()))
                 : QString();
        shown.append({windows[i], title, managedWindow});
    }
    return shown;
}

// The topmost managed window of that title, else the topmost unmanaged one.
std::optional<std::uint32_t> VirtualDisplay::findWindow(const QString& title) const {
    std::optional<std::uint32_t> found[2];
    for (const Shown& window : shownWindows()) {
        if (window.title == title)
            found[window.managed ? 0 : 1] = window.window;
    }
    return found[0] ? found[0] : found[1];
}

QList<QRect> VirtualDisplay::shownFrames() const {
    QList<QRect> frames;
    for (const Shown& window : shownWindows()) {
        if (const auto frame = geometryOnRoot(window.window))
            frames.append(*frame);
    }
    return frames;
}

// Qt answers a ping from the thread that runs its event loop, by sending the message back to
// the root window for the clients that listen to the root's own structure changes.
std::optional<bool> VirtualDisplay::answersPing(int timeoutMs) const {
    std::optional<std::uint32_t> window;
    for (const Shown& shown : shownWindows()) {
        if (shown.managed)
            window = shown.window;
    }
    if (!window)
        return std::nullopt;
    const uint32_t listen = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &listen);
    static std::uint32_t serial = 0;
    const std::uint32_t stamp = ++serial;
    // A window manager's message under WM_PROTOCOLS, as ICCCM and EWMH lay it out.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = *window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("_NET_WM_PING");
    message.data.data32[1] = stamp;
    message.data.data32[2] = *window;
    xcb_send_event(m_connection, 0, *window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        while (const Reply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
            if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
                continue;
            const auto* answer = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
            if (answer->data.data32[1] == stamp)
                return true;
        }
        usleep(10000);
    }
    return false;
}

bool VirtualDisplay::addBottomPanel(int height) const {
    if (!m_connection)
        return false;
    const xcb_window_t panel = xcb_generate_id(m_connection);
    const std::uint32_t grey = 0x404040;
    const int top = m_size.height() - height;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, panel, m_root, 0, int16_t(top),
                      uint16_t(m_size.width()), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, &grey);
    // Where the user put it (USPosition, USSize), or the window manager places it itself.
    const std::uint32_t hints[18] = {1 | 2, 0, std::uint32_t(top), std::uint32_t(m_size.width()),
                                     std::uint32_t(height)};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, panel, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, panel, atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &dock);
    // left, right, top, bottom, then the start and end of each edge's strip
    const std::uint32_t strut[12] = {
        0, 0, 0, std::uint32_t(height), 0, 0, 0, 0, 0, 0, 0, std::uint32_t(m_size.width() - 1)};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, panel, atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL, 32, 12, strut);
    const Reply<xcb_generic_error_t> error(
        xcb_request_check(m_connection, xcb_map_window_checked(m_connection, panel)));
    return !error;
}

std::optional<QRect> VirtualDisplay::geometryOnRoot(std::uint32_t window) const {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    if (!geometry || !origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

// A window manager puts a window into a frame of its own, a child of the root.
std::optional<QRect> VirtualDisplay::windowFrame(const QString& title, bool decorations) const {
    std::optional<xcb_window_t> window = findWindow(title);
    while (window && decorations) {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, *window), nullptr));
        if (!tree || tree->parent == m_root || tree->parent == XCB_NONE)
            break;
        window = tree->parent;
    }
    return window ? geometryOnRoot(*window) : std::nullopt;
}

QString VirtualDisplay::windowProperty(const QString& title, const QString& property) const {
    return QString::fromUtf8(run("xprop", {"-name", title, property})).trimmed();
}

bool VirtualDisplay::setRootCardinals(const char* property,
                                      const QList<std::uint32_t>& values) const {
    if (!m_connection)
        return false;
    const Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_change_property_checked(m_connection, XCB_PROP_MODE_REPLACE, m_root,
                                                  atom(property), XCB_ATOM_CARDINAL, 32,
                                                  uint32_t(values.size()), values.constData())));
    return !error;
}

QImage VirtualDisplay::screenshot(const QRect& area) const {
    if (!m_connection || area.isEmpty() || !serverPixelsAreRgb32(m_connection))
        return {};
    const Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(area.x()),
                      int16_t(area.y()), uint16_t(area.width()), uint16_t(area.height()), ~0u),
        nullptr));
    const qsizetype bytesPerLine = qsizetype(area.width()) * 4;
    if (!reply || reply->depth != 24 ||
        xcb_get_image_data_length(reply.get()) != bytesPerLine * area.height())
        return {};
    QImage image(area.size(), QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const quint32*>(xcb_get_image_data(reply.get()));
    for (int y = 0; y < area.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        // The server leaves the unused top byte as it likes; RGB32 wants it opaque.
        for (int x = 0; x < area.width(); ++x)
            line[x] = *pixels++ | 0xff000000u;
    }
    return image;
}

std::optional<std::uint8_t> VirtualDisplay::keycode(std::uint32_t keysym) const {
    if (!m_connection)
        return std::nullopt;
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const std::uint8_t first = setup->min_keycode;
    const Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection,
        xcb_get_keyboard_mapping(m_connection, first, std::uint8_t(setup->max_keycode - first + 1)),
        nullptr));
    if (!mapping)
        return std::nullopt;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    const int count = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    // The unshifted symbol of a key only: a shifted one needs the test to hold Shift itself.
    for (int i = 0; i < count; i += perKeycode) {
        if (keysyms[i] == keysym)
            return std::uint8_t(first + i / perKeycode);
    }
    return std::nullopt;
}

bool VirtualDisplay::typeKey(std::uint32_t keysym, const QList<std::uint32_t>& modifiers) const {
    QList<std::uint8_t> held;
    for (const std::uint32_t modifier : modifiers) {
        const auto code = keycode(modifier);
        if (!code || !fakeInput(XCB_KEY_PRESS, *code))
            return false;
        held.prepend(*code);
    }
    // A moment between the modifiers and the key, as a hand takes: Qt reads the keyboard's
    // state from the server's own notifications, which can trail key events sent back to back.
    const auto pause = [&] {
        if (!held.isEmpty())
            usleep(20000);
    };
    const auto code = keycode(keysym);
    pause();
    bool typed = code && fakeInput(XCB_KEY_PRESS, *code) && fakeInput(XCB_KEY_RELEASE, *code);
    pause();
    for (const std::uint8_t modifier : held)
        typed = fakeInput(XCB_KEY_RELEASE, modifier) && typed;
    return typed;
}

bool VirtualDisplay::typeText(const QString& text) const {
    constexpr std::uint32_t shift = 0xffe1;
    for (const QChar c : text) {
        const bool upper = c.isUpper();
        if (!typeKey(c.toLower().unicode(),
                     upper ? QList<std::uint32_t>{shift} : QList<std::uint32_t>{}))
            return false;
    }
    return true;
}

bool VirtualDisplay::click(const QPoint& position, int button) const {
    return movePointer(position) && pressButton(button) && releaseButton(button);
}

bool VirtualDisplay::movePointer(const QPoint& position) const {
    return fakeInput(XCB_MOTION_NOTIFY, 0, position);
}

bool VirtualDisplay::pressButton(int button) const {
    return fakeInput(XCB_BUTTON_PRESS, std::uint8_t(button));
}

bool VirtualDisplay::releaseButton(int button) const {
    return fakeInput(XCB_BUTTON_RELEASE, std::uint8_t(button));
}

// Checking the request waits for the server to have handled it.
bool VirtualDisplay::fakeInput(std::uint8_t type, std::uint8_t detail,
                               const QPoint& position) const {
    if (!m_connection || !xcb_get_extension_data(m_connection, &xcb_test_id)->present)
        return false;
    const Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection,
        xcb_test_fake_input_checked(m_connection, type, detail, XCB_CURRENT_TIME,
                                    type == XCB_MOTION_NOTIFY ? m_root : xcb_window_t(XCB_NONE),
                                    int16_t(position.x()), int16_t(position.y()), 0)));
    return !error;
}

const VirtualDisplay* VirtualDisplay::ofThisProcess() {
    return processDisplay;
}

void VirtualDisplay::setOfThisProcess(const VirtualDisplay* display) {
    processDisplay = display;
}
