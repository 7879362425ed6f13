#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "platform/DisplaySession.h"
#include "platform/QuitOnSignals.h"
#include "platform/SingleInstance.h"
#include "ui/AppIcon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

// --bar=own|tray|auto chooses where the status items live for this run, over the preference.
std::optional<StatusHostMode> statusHostFromCommandLine(const QApplication& app) {
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption bar(
        "bar",
        "Where the status items live: own (a bar of their own), tray (the desktop's "
        "panel) or auto.",
        "own|tray|auto");
    parser.addOption(bar);
    parser.process(app);
    if (!parser.isSet(bar))
        return std::nullopt;
    const auto mode = statusHostModeFromText(parser.value(bar));
    if (!mode) {
        std::fprintf(stderr, "Unknown --bar value: %s\n", qPrintable(parser.value(bar)));
        parser.showHelp(2);
    }
    return mode;
}

} // namespace

int main(int argc, char** argv) {
    // Qt's X11 backing store sends each repaint through a shared-memory image and then waits
    // for the server's reply, which wakes the GUI thread again at every clock tick. What the
    // bar repaints is a few glyphs wide and travels as cheaply inside the request itself. The
    // user's own setting wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    const DisplaySession::Variables session = DisplaySession::current();
    if (const QByteArray platforms = DisplaySession::qtPlatforms(session); !platforms.isEmpty())
        qputenv("QT_QPA_PLATFORM", platforms);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vesperin");
    QApplication::setApplicationVersion(VESPERIN_VERSION);
    QApplication::setOrganizationDomain("orvennalabs.com");
    // The installed desktop entry, which the desktop matches the windows with (the Wayland
    // application id; on X11 the WM_CLASS "Vesperin" from the application name).
    QApplication::setDesktopFileName("com.orvennalabs.Vesperin");
    QApplication::setWindowIcon(AppIcon::windowIcon());
    QuitOnSignals::install({SIGTERM, SIGINT, SIGHUP});
    ApplicationContext::Options options;
    options.statusHost = statusHostFromCommandLine(app);
    options.ownBarDocks = !DisplaySession::isWayland(session);

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

    ApplicationContext context(std::move(options));
    AppDelegate delegate(context);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &delegate, &AppDelegate::reopen);
    delegate.applyInitialActivationPolicy();
    QTimer::singleShot(0, &delegate, &AppDelegate::finishLaunching);
    return app.exec();
}
