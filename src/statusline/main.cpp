// vesperin-status-line: the designed items as a bar's status line (vesperin --status-line=...
// starts this). It links none of the windows' libraries: a bar keeps it running all day, and
// a click hands over to a `vesperin` start, which carries it to the running application.
#include "platform/QuitOnSignals.h"
#include "statusline/StatusLineProcess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

StatusLineFormat::Format formatFromCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption statusLine("status-line",
                                        "How the items are written: i3bar (swaybar, i3bar), "
                                        "waybar (a custom module) or plain (one line a change).",
                                        "i3bar|waybar|plain", "plain");
    parser.addOption(statusLine);
    parser.process(app);
    const auto format = StatusLineFormat::fromName(parser.value(statusLine));
    if (!format) {
        std::fprintf(stderr, "Unknown --status-line value: %s\n",
                     qPrintable(parser.value(statusLine)));
        parser.showHelp(2);
    }
    return *format;
}

} // namespace

int main(int argc, char** argv) {
    // Some bars (waybar) leak descriptors into their commands, among them the reading end of
    // this program's own output: held here, it would keep the output open after the bar ended.
    // The program needs only its standard three.
    close_range(3, ~0U, 0);
    // A bar that ends closes the pipe; the write then fails instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vesperin");
    QCoreApplication::setApplicationVersion(VESPERIN_VERSION);
    QuitOnSignals::install({SIGTERM, SIGINT, SIGHUP});
    const StatusLineFormat::Format format = formatFromCommandLine(app);
    const QString vesperin =
        QFileInfo(QCoreApplication::applicationDirPath() + "/vesperin").absoluteFilePath();
    StatusLineProcess process(format, STDIN_FILENO, STDOUT_FILENO,
                              [&vesperin](const QStringList& arguments) {
                                  QProcess::startDetached(vesperin, arguments);
                              });
    // Queued: the output may be gone at the first line, before the event loop runs.
    QObject::connect(
        &process, &StatusLineProcess::finished, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    process.start();
    return app.exec();
}
