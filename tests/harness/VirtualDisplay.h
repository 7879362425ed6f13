#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

// A private X server (Xvfb, 1280 x 800 unless asked otherwise) for tests that run the real program
// in real windows, with or without a window manager (openbox) on it. The test talks to the server
// over a connection of its own, kept open for its life, so that looking at the screen, clicking and
// typing cost one round trip and no process start: a test can poll the screen quickly even on
// a busy machine.
class VirtualDisplay {
public:
    enum class WindowManager { none, openbox };

    explicit VirtualDisplay(WindowManager manager = WindowManager::none,
                            QSize size = QSize(1280, 800));
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool isRunning() const { return m_connection != nullptr; }
    // The display's name for DISPLAY, such as ":5".
    QString name() const { return m_name; }
    QProcessEnvironment environment() const;

    // The frame of the topmost shown top-level window with this title (its _NET_WM_NAME), in
    // root coordinates; none while no such window is mapped. With `decorations`, the frame the
    // window manager drew around it (title bar and borders) is included.
    std::optional<QRect> windowFrame(const QString& title, bool decorations = false) const;
    // The frames of every shown top-level window (the window manager's clients, and the
    // unmanaged ones such as menus), without decorations, bottom first.
    QList<QRect> shownFrames() const;
    // Whether the program showing the topmost managed window handles events: it answers the
    // window manager's ping (_NET_WM_PING) from its event loop within `timeoutMs`. Absent when
    // no managed window shows.
    std::optional<bool> answersPing(int timeoutMs) const;
    // Reserves a strip along the screen's bottom edge with a dock window of its own, as a
    // desktop's panel does; the window manager takes it off the work area.
    bool addBottomPanel(int height) const;
    // A property of that window as xprop prints it, e.g. "_NET_WM_STRUT_PARTIAL".
    QString windowProperty(const QString& title, const QString& property) const;
    // What the screen shows in `area`; a null image when the server could not give it.
    QImage screenshot(const QRect& area) const;
    // Moves the pointer to `position` and presses and releases a button there (1 left, 3
    // right), as a person would (XTest); returns once the server has handled the events.
    bool click(const QPoint& position, int button = 1) const;
    // The same steps one by one, for gestures such as drags.
    bool movePointer(const QPoint& position) const;
    bool pressButton(int button = 1) const;
    bool releaseButton(int button = 1) const;
    // Presses and releases a key (an X keysym, such as 0xff1b for Escape, or a Latin-1
    // character's code) while holding the modifier keysyms, as a person types (XTest).
    bool typeKey(std::uint32_t keysym, const QList<std::uint32_t>& modifiers = {}) const;
    // Types ASCII text, letter by letter.
    bool typeText(const QString& text) const;
    // Writes 32-bit cardinals into a property of the root window, as a window manager writes
    // "_NET_WORKAREA"; returns once the server has done it.
    bool setRootCardinals(const char* property, const QList<std::uint32_t>& values) const;

    // The display this process's own windows are on, in tests added with DISPLAY (their main
    // makes it); null in any other process.
    static const VirtualDisplay* ofThisProcess();
    static void setOfThisProcess(const VirtualDisplay* display);

private:
    QByteArray run(const QString& program, const QStringList& arguments) const;
    struct Shown {
        std::uint32_t window;
        QString title;
        bool managed;
    };
    // The shown top-level windows, bottom first: the window manager's clients in its stacking
    // order, then the root's children (all windows without a window manager, and the unmanaged
    // ones with one).
    QList<Shown> shownWindows() const;
    // The topmost shown top-level window with this title.
    std::optional<std::uint32_t> findWindow(const QString& title) const;
    std::optional<QRect> geometryOnRoot(std::uint32_t window) const;
    bool startWindowManager();
    std::optional<std::uint8_t> keycode(std::uint32_t keysym) const;
    std::uint32_t atom(const char* name) const;
    bool fakeInput(std::uint8_t type, std::uint8_t detail, const QPoint& position = {}) const;

    QProcess m_server;
    QProcess m_windowManager;
    QString m_name;
    QSize m_size;
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
};
