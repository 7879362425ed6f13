#include "platform/DisplaySession.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

// Qt alone picks only "wayland" in a Wayland session and gives up without its plugin.
TEST(DisplaySessionTest, AWaylandSessionTriesXWaylandFirstAndNeverEndsWithoutAPlatform) {
    struct Case {
        DisplaySession::Variables session;
        bool wayland;
        QByteArray platforms;
    };
    const QList<Case> cases = {
        {{"wayland", "wayland-1", ":0", ""}, true, "xcb;wayland"},
        {{"wayland", "wayland-1", "", ""}, true, "wayland;xcb"},
        {{"tty", "wayland-1", "", ""}, true, "wayland;xcb"},
        {{"", "wayland-1", ":1", ""}, true, "xcb;wayland"},
        {{"wayland", "wayland-1", ":0", "wayland"}, true, ""},
        {{"x11", "wayland-1", ":0", ""}, false, ""},
        {{"x11", "", ":0", ""}, false, ""},
        {{"", "", ":0", ""}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.session.sessionType.toStdString() + " " +
                     c.session.waylandDisplay.toStdString() + " " +
                     c.session.x11Display.toStdString());
        EXPECT_EQ(DisplaySession::isWayland(c.session), c.wayland);
        EXPECT_EQ(DisplaySession::qtPlatforms(c.session), c.platforms);
    }
}

} // namespace
