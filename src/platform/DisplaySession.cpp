#include "platform/DisplaySession.h"

#include <QtGlobal>

namespace DisplaySession {

Variables current() {
    return {qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"),
            qgetenv("QT_QPA_PLATFORM")};
}

bool isWayland(const Variables& session) {
    // A compositor started from a console leaves the session type "tty" but names its socket.
    if (session.sessionType == "x11")
        return false;
    return session.sessionType == "wayland" || !session.waylandDisplay.isEmpty();
}

QByteArray qtPlatforms(const Variables& session) {
    if (!session.qtPlatform.isEmpty() || !isWayland(session))
        return {};
    return session.x11Display.isEmpty() ? "wayland;xcb" : "xcb;wayland";
}

} // namespace DisplaySession
