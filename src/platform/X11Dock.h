#pragma once

#include <QRect>

#include <functional>
#include <optional>

class QObject;
class QWindow;

// What makes the status bar a bar on X11, which Qt 6 has no API for: the dock window type (no
// frame, no taskbar entry, kept above normal windows) and a strut that reserves its strip of
// the screen, so that maximised windows stay clear of it; and the few other window manager
// hints of the application's windows that Qt has no API for. Does nothing on other platforms
// (offscreen tests, Wayland).
namespace X11Dock {

// Call after the native window exists and before it is mapped: window managers read the type
// when the window appears.
void markAsDock(QWindow* window);

// Keeps the window out of taskbars and pagers (_NET_WM_STATE_SKIP_TASKBAR and _PAGER), which
// list a utility window that has no window of the application to belong to. Call after the
// native window exists and before it is mapped.
void keepOffTaskbars(QWindow* window);

// Asks the window manager to show the window in front with the keyboard focus, on its
// desktop and unminimised, as a pager or taskbar would (_NET_ACTIVE_WINDOW).
void activate(QWindow* window);

// Whether a compositing manager runs, so that see-through pixels of a window show what lies
// below it rather than black. True off X11.
bool hasCompositor();

// Sends what Qt has queued for the X server now, rather than when the event loop next waits:
// a window shown during a long start is then mapped at once.
void flush();

// Reserves the screen's top edge down to the bottom of `area` (logical pixels), over the
// area's width, for the window. Whether it was written (on X11 only).
bool reserveTopStrip(QWindow* window, const QRect& area);

// The lowest lower edge (logical pixels, from the top of the screen) among the top struts of
// the shown windows other than `own` that reach over `left` to `right`: the window manager's
// clients, and the root's children when no window manager lists them. Absent when there are
// none, or not on X11.
std::optional<int> lowestTopStrut(const QWindow* own, int left, int right);

// The work area the window manager reports for the current desktop (_NET_WORKAREA), in logical
// pixels of the whole screen; absent without one, or not on X11.
std::optional<QRect> workArea();

// Calls `changed` every time the window manager writes the work area, even unchanged: it
// writes it again whenever a dock's strut changes, and Qt's screen announces only a new value.
// Stops with the returned object (a child of `parent`); null when not on X11.
QObject* watchWorkArea(std::function<void()> changed, QObject* parent);

} // namespace X11Dock
