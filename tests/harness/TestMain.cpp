#include "harness/TestEnvironment.h"

#include <gtest/gtest.h>

#ifdef VESPERIN_TEST_DISPLAY
#include "harness/VirtualDisplay.h"

#include <cstdio>
#endif

#ifdef VESPERIN_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Every test process runs in the same fixed world (see TestEnvironment), on offscreen windows
// or, for tests of what the desktop shows, on a private X server.
int main(int argc, char** argv) {
    const TestEnvironment environment;
    if (!environment.isReady())
        return 2;
#ifdef VESPERIN_TEST_DISPLAY
        // This process's own windows go to a private X server, for tests of what the desktop shows,
        // managed by a window manager for the tests of what a person does there.
#ifdef VESPERIN_TEST_WINDOW_MANAGER
    // The screen of a common laptop: what the application's windows must fit.
    const VirtualDisplay display(VirtualDisplay::WindowManager::openbox, QSize(1366, 768));
#else
    const VirtualDisplay display;
#endif
    if (!display.isRunning()) {
        std::fputs("No virtual display: are Xvfb and openbox installed?\n", stderr);
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
