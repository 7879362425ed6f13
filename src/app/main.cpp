#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "platform/DisplaySession.h"
#include "platform/OpenRequest.h"
#include "platform/QuitOnSignals.h"
#include "platform/SingleInstance.h"
#include "ui/AppIcon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

struct CommandLine {
    std::optional<StatusHostMode> statusHost;
    OpenRequest request;
};

[[noreturn]] void refuse(QCommandLineParser& parser, const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    parser.showHelp(2);
}

// --bar=own|tray|auto chooses where the status items live for this run, over the preference;
// --open=panel|menu|editor|settings (with --at=X,Y for where the click was) asks the running
// application, or this one once it has started; so does --scroll=N for the open panel.
// --status-line is taken before Qt starts.
CommandLine readCommandLine(const QApplication& app) {
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption bar(
        "bar",
        "Where the status items live: own (a bar of their own), tray (the desktop's "
        "panel) or auto.",
        "own|tray|auto");
    const QCommandLineOption open("open",
                                  "Opens the calendar panel, the status menu, the editor or the "
                                  "settings of the running Vesperin (starting it if none runs).",
                                  "panel|menu|editor|settings");
    const QCommandLineOption at("at", "Where the panel or menu opens (default: the pointer).",
                                "X,Y");
    const QCommandLineOption scroll(
        "scroll",
        "Turns the open calendar panel of the running Vesperin by N months (N > 0: back).", "N");
    const QCommandLineOption statusLine(
        "status-line",
        "Writes the items to standard output for a bar's status command, and takes its clicks "
        "on standard input.",
        "i3bar|waybar|plain");
    parser.addOptions({bar, open, at, scroll, statusLine});
    parser.process(app);
    CommandLine line;
    if (parser.isSet(bar)) {
        line.statusHost = statusHostModeFromText(parser.value(bar));
        if (!line.statusHost)
            refuse(parser, "Unknown --bar value: " + parser.value(bar));
    }
    if (parser.isSet(open) && !OpenRequest::fromName(parser.value(open)))
        refuse(parser, "Unknown --open value: " + parser.value(open));
    // The request is read by the rules the running application reads it by, so that a start
    // never hands over what the other side would drop.
    QString request = parser.isSet(scroll) ? "scroll " + parser.value(scroll)
                      : parser.isSet(open) ? parser.value(open)
                                           : QString();
    if (parser.isSet(at))
        request += ' ' + QString(parser.value(at)).replace(',', ' ');
    if (!request.isEmpty()) {
        const auto parsed = OpenRequest::parse(request);
        if (!parsed)
            refuse(parser, "Cannot ask for this (--at goes with --open=panel or menu, X,Y and N "
                           "are whole numbers): " +
                               request.trimmed());
        line.request = *parsed;
    }
    return line;
}

// The status line is a program of its own, without the windows' libraries, since a bar keeps
// it running all day: this start becomes that program, found beside this one.
void becomeStatusLineIfAsked(char** argv) {
    for (char** argument = argv + 1; *argument; ++argument) {
        if (std::strncmp(*argument, "--status-line", 13) != 0)
            continue;
        char self[PATH_MAX] = {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
            std::strcpy(self, argv[0]);
        std::string program(self);
        program = program.substr(0, program.rfind('/') + 1) + "vesperin-status-line";
        argv[0] = program.data();
        execv(program.c_str(), argv);
        std::perror(program.c_str());
        std::exit(127);
    }
}

} // namespace

int main(int argc, char** argv) {
    becomeStatusLineIfAsked(argv);
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
    const CommandLine commandLine = readCommandLine(app);
    ApplicationContext::Options options;
    options.statusHost = commandLine.statusHost;
    options.ownBarDocks = !DisplaySession::isWayland(session);

    // A second start is the desktop's click on a running application, or a bar's: the first one
    // reopens, or does what --open asks.
    SingleInstance instance("com.orvennalabs.Vesperin", QDBusConnection::sessionBus());
    switch (instance.claim(commandLine.request)) {
    case SingleInstance::Claim::handedOver:
        return 0;
    case SingleInstance::Claim::unanswered:
        return 1;
    case SingleInstance::Claim::primary:
        break;
    }

    ApplicationContext context(std::move(options));
    AppDelegate delegate(context);
    QObject::connect(&instance, &SingleInstance::requested, &delegate, &AppDelegate::handle);
    delegate.applyInitialActivationPolicy();
    QTimer::singleShot(0, &delegate, [&delegate, request = commandLine.request] {
        delegate.finishLaunching();
        if (request.what != OpenRequest::What::reopen)
            delegate.handle(request);
    });
    return app.exec();
}
