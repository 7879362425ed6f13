#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "platform/QuitOnSignals.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QTimer>

#include <csignal>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vesperin");
    QApplication::setApplicationVersion(VESPERIN_VERSION);
    QApplication::setOrganizationDomain("orvennalabs.com");
    // The installed desktop entry, which the desktop matches the windows with (the Wayland
    // application id; on X11 the WM_CLASS "Vesperin" from the application name).
    QApplication::setDesktopFileName("com.orvennalabs.Vesperin");
    QuitOnSignals::install({SIGTERM, SIGINT, SIGHUP});

    // A second start is the desktop's click on a running application: the first one reopens.
    SingleInstance instance("com.orvennalabs.Vesperin", QDBusConnection::sessionBus());
    switch (instance.claim()) {
    case SingleInstance::Claim::handedOver:
        return 0;
    case SingleInstance::Claim::unanswered:
        return 1;
    case SingleInstance::Claim::primary:
        break;
    }

    ApplicationContext context;
    AppDelegate delegate(context);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &delegate, &AppDelegate::reopen);
    delegate.applyInitialActivationPolicy();
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return app.exec();
}
