#include "app/AppDelegate.h"
#include "calendar/CalendarAppOpener.h"
#include "platform/QuitOnSignals.h"
#include "platform/StatusBar.h"

#include <QApplication>
#include <QTimer>

#include <csignal>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vesperin");
    QApplication::setApplicationVersion(VESPERIN_VERSION);
    QApplication::setOrganizationDomain("orvennalabs.com");
    QApplication::setDesktopFileName("vesperin");
    QuitOnSignals::install({SIGTERM, SIGINT, SIGHUP});
    CalendarAppOpener::install();

    AppDelegate delegate(StatusBar::system());
    delegate.applyInitialActivationPolicy();
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return app.exec();
}
