#include "calendar/GnomeCalendarDate.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <libintl.h>

#ifdef VESPERIN_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Every test process, whether CTest or a person starts it, runs in the same fixed world:
// offscreen windows, Paris time, US English, and a home and XDG folders of its own in a
// temporary folder that disappears with the process, so no test ever sees the user's files.
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
    // A desktop settings tool started by mistake changes an in-memory store, not the desktop.
    qputenv("GSETTINGS_BACKEND", "memory");
    // The support service is a closed port on this machine, unless a test starts its own.
    qputenv("VESPERIN_SERVICE_URL", "http://127.0.0.1:9");
    for (const char* name : {"LC_ALL", "LC_TIME", "LC_MESSAGES", "LANGUAGE"})
        qunsetenv(name);
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
