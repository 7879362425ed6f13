#include "harness/TestEnvironment.h"

#include "calendar/GnomeCalendarDate.h"

#include <QDir>
#include <QFile>

#include <libintl.h>

namespace {

// The coredumpctl found first answers as the real one does when it has no entries.
bool installEmptyCoredumpTool(const QString& folder) {
    QFile tool(folder + "/coredumpctl");
    if (!QDir().mkpath(folder) || !tool.open(QIODevice::WriteOnly) ||
        tool.write("#!/bin/sh\nexit 1\n") < 0 ||
        !tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    qputenv("PATH", QFile::encodeName(folder) + ":" + qgetenv("PATH"));
    return true;
}

bool makePrivateFolder(const QString& path) {
    return QDir().mkpath(path) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

TestEnvironment::TestEnvironment() : m_home(QDir::tempPath() + "/vesperin-test-XXXXXX") {
    m_ready = m_home.isValid() && install();
}

bool TestEnvironment::install() {
    const QString home = m_home.path();
    const QByteArray encodedHome = QFile::encodeName(home);
    qputenv("HOME", encodedHome);
    qputenv("XDG_CONFIG_HOME", encodedHome + "/config");
    qputenv("XDG_DATA_HOME", encodedHome + "/data");
    qputenv("XDG_CACHE_HOME", encodedHome + "/cache");
    // Nor the system's applications and their associations: no test starts a real program.
    qputenv("XDG_CONFIG_DIRS", encodedHome + "/config-dirs");
    qputenv("XDG_DATA_DIRS", encodedHome + "/data-dirs");
    qunsetenv("XDG_CURRENT_DESKTOP");
    // GNOME Calendar's date forms come only from catalogues a test writes under $HOME/locale.
    bindtextdomain(GnomeCalendarDate::catalogue, encodedHome + "/locale");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Paris");
    qputenv("LANG", "en_US.UTF-8");
    for (const char* name : {"LC_ALL", "LC_TIME", "LC_MESSAGES", "LANGUAGE"})
        qunsetenv(name);
    // No session bus (an address where nothing listens, so that nothing is started in its
    // place either) and a runtime folder of its own: no test, and no program a test starts,
    // ever meets the user's running application.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + encodedHome + "/no-bus");
    if (!makePrivateFolder(home + "/runtime"))
        return false;
    qputenv("XDG_RUNTIME_DIR", encodedHome + "/runtime");
    // A desktop settings tool started by mistake changes an in-memory store, not the desktop.
    qputenv("GSETTINGS_BACKEND", "memory");
    // The support service and the update feed are a closed port on this machine, unless a test
    // starts its own.
    qputenv("VESPERIN_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("VESPERIN_UPDATE_URL", "http://127.0.0.1:9/appcast.xml");
    qputenv("VESPERIN_NETWORK_HELPER", VESPERIN_NETWORK_HELPER_PATH);
    // The system's crash stores are empty stand-ins: apport's report folder is one of our own.
    qputenv("APPORT_REPORT_DIR", encodedHome + "/crash");
    return installEmptyCoredumpTool(home + "/bin");
}
