#include "calendar/GnomeCalendarDate.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <libintl.h>

#ifdef VESPERIN_TEST_DISPLAY
#include "support/VirtualDisplay.h"

#include <cstdio>
#endif

#ifdef VESPERIN_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Every test process, whether CTest or a person starts it, runs in the same fixed world:
// offscreen windows (or a private X server), Paris time, US English, and a home and XDG folders of
// its own in a temporary folder that disappears with the process, so no test ever sees the user's
// files.
int main(int argc, char** argv) {
    QTemporaryDir home(QDir::tempPath() + "/vesperin-test-XXXXXX");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + "/cache"));
    // Nor the system's applications and their associations: no test starts a real program.
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.path() + "/config-dirs"));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.path() + "/data-dirs"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    // GNOME Calendar's date forms come only from catalogues a test writes under $HOME/locale.
    bindtextdomain(GnomeCalendarDate::catalogue, QFile::encodeName(home.path() + "/locale"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Paris");
    qputenv("LANG", "en_US.UTF-8");
    // No session bus (an address where nothing listens, so that nothing is started in its
    // place either) and a runtime folder of its own: no test, and no program a test starts,
    // ever meets the user's running application.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(home.path()) + "/no-bus");
    const QString runtime = home.path() + "/runtime";
    if (!QDir().mkpath(runtime) ||
        !QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return 2;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    // A desktop settings tool started by mistake changes an in-memory store, not the desktop.
    qputenv("GSETTINGS_BACKEND", "memory");
    // The support service and the update feed are a closed port on this machine, unless a test
    // starts its own.
    qputenv("VESPERIN_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("VESPERIN_UPDATE_URL", "http://127.0.0.1:9/appcast.xml");
    // The system's crash stores are empty stand-ins: apport's report folder is one of our own,
    // and the coredumpctl found first answers as the real one does when it has no entries.
    qputenv("APPORT_REPORT_DIR", QFile::encodeName(home.path() + "/crash"));
    const QString tools = home.path() + "/bin";
    QFile coredumpctl(tools + "/coredumpctl");
    if (!QDir().mkpath(tools) || !coredumpctl.open(QIODevice::WriteOnly) ||
        coredumpctl.write("#!/bin/sh\nexit 1\n") < 0 ||
        !coredumpctl.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return 2;
    coredumpctl.close();
    qputenv("PATH", QFile::encodeName(tools) + ":" + qgetenv("PATH"));
    for (const char* name : {"LC_ALL", "LC_TIME", "LC_MESSAGES", "LANGUAGE"})
        qunsetenv(name);
#ifdef VESPERIN_TEST_DISPLAY
    // This process's own windows go to a private X server, for tests of what the desktop shows.
    const VirtualDisplay display;
    if (!display.isRunning()) {
        std::fputs("No virtual display: is Xvfb installed?\n", stderr);
        return 1;
    }
    VirtualDisplay::setOfThisProcess(&display);
    qputenv("DISPLAY", display.name().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
