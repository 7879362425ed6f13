#pragma once

#include <QRect>

class QWindow;

// What makes the status bar a bar on X11, which Qt 6 has no API for: the dock window type (no
// frame, no taskbar entry, kept above normal windows) and a strut that reserves its strip of
// the screen, so that maximised windows stay clear of it. Does nothing on other platforms
// (offscreen tests, Wayland).
namespace X11Dock {

// Call after the native window exists and before it is mapped: window managers read the type
// when the window appears.
void markAsDock(QWindow* window);

// Reserves `area` (device-independent pixels, along the top edge of the screen) for the window.
void reserveTopStrip(QWindow* window, const QRect& area);

} // namespace X11Dock
