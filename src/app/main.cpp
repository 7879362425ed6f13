#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "platform/QuitOnSignals.h"

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

    ApplicationContext context;
    AppDelegate delegate(context);
    delegate.applyInitialActivationPolicy();
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return app.exec();
}
