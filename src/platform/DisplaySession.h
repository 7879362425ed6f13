#pragma once

#include <QByteArray>

// Which display server the desktop session runs, read from the environment the session gives
// every program.
namespace DisplaySession {

struct Variables {
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray x11Display;     // DISPLAY
    QByteArray qtPlatform;     // QT_QPA_PLATFORM
};

Variables current();

bool isWayland(const Variables& session);

// The platforms Qt should try, in order, when the user named none; empty when Qt's own choice
// stands (an X11 session, or the user's QT_QPA_PLATFORM). Under Wayland, X11 through XWayland
// comes first where the session offers it: only there may a window place itself, and the
// calendar belongs under the item that was clicked. Each list ends in the other platform so
// that a missing plugin never keeps the application from starting.
QByteArray qtPlatforms(const Variables& session);

} // namespace DisplaySession
