// Drives the assembled application with random but valid input on a private X server with a
// window manager, as an impatient person would: clicks, double and right clicks on the bar and
// on every window and menu it shows, keys, drags and wheel turns. It stops at the first crash,
// sanitizer report or hang (the event loop not answering the window manager's ping for 5 s) and
// prints the seed that replays the same input.
//
//   input_soak --program build-asan/src/vesperin --defaults build-asan/src/vesperin-defaults
//              --seconds 60 --seed 1
//
// The program runs in the tests' fixed world (a temporary home, no session bus, the service on
// a closed port); a Quit chosen at random starts it again.

#include "harness/TestEnvironment.h"
#include "harness/VirtualDisplay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <random>

namespace {

constexpr int hangMs = 5000;
constexpr const char* barTitle = "Vesperin status bar";

// X keysyms of the keys a person presses in this application.
constexpr std::uint32_t escapeKey = 0xff1b, returnKey = 0xff0d, tabKey = 0xff09, deleteKey = 0xffff,
                        upKey = 0xff52, downKey = 0xff54, pageUpKey = 0xff55, controlKey = 0xffe3;

struct Options {
    QString program;
    QString defaults;
    int seconds = 60;
    unsigned seed = 1;
};

class Soak {
public:
    Soak(const Options& options, const VirtualDisplay& display)
        : m_options(options), m_display(display), m_random(options.seed) {}

    // Empty when the time ran out without a failure; else what went wrong.
    QString run() {
        prepareProfile();
        if (!start())
            return "the program did not show its bar\n" + m_errors;
        QElapsedTimer clock;
        clock.start();
        QElapsedTimer sincePing;
        sincePing.start();
        while (clock.elapsed() < qint64(m_options.seconds) * 1000) {
            act();
            ++m_actions;
            if (QString failure = failed(); !failure.isEmpty())
                return failure;
            if (m_app.state() != QProcess::Running && !start())
                return "the program did not come back after it quit\n" + m_errors;
            if (sincePing.elapsed() > 1000) {
                sincePing.restart();
                if (m_display.answersPing(hangMs) == false && m_app.state() == QProcess::Running)
                    return QString("the event loop did not answer for %1 s").arg(hangMs / 1000);
            }
        }
        m_app.terminate();
        m_app.waitForFinished(10000);
        return failed();
    }

    int actions() const { return m_actions; }

private:
    void prepareProfile() {
        const bool menuBar = m_options.seed % 2 == 1;
        for (const QStringList& value :
             {QStringList{"VSPOnboarded", "-bool", "true"},
              QStringList{"VSPMenuBarMode", "-bool", menuBar ? "true" : "false"},
              QStringList{"VSPShowInMenuBar", "-bool", "true"}}) {
            QProcess tool;
            tool.start(m_options.defaults,
                       QStringList{"write", "com.orvennalabs.vesperin"} + value);
            tool.waitForFinished(10000);
        }
    }

    bool start() {
        m_app.setProcessEnvironment(m_display.environment());
        m_app.setProcessChannelMode(QProcess::SeparateChannels);
        m_app.start(m_options.program, QStringList{});
        if (!m_app.waitForStarted(10000))
            return false;
        for (int wait = 0; wait < 200; ++wait) {
            collectErrors();
            if (m_display.windowFrame(barTitle).has_value() || m_app.state() != QProcess::Running)
                break;
            QThread::msleep(100);
        }
        return m_app.state() == QProcess::Running;
    }

    void collectErrors() {
        m_app.waitForReadyRead(0);
        m_errors += QString::fromLocal8Bit(m_app.readAllStandardError());
        m_app.readAllStandardOutput();
        // Only the end matters for a report.
        if (m_errors.size() > 200000)
            m_errors = m_errors.right(100000);
    }

    // A crash, a sanitizer's report, or an exit that is not a Quit.
    QString failed() {
        collectErrors();
        for (const char* report : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                   "runtime error:", "Sanitizer:DEADLYSIGNAL"}) {
            if (m_errors.contains(report))
                return QString("a sanitizer report\n") + tail();
        }
        if (m_app.state() == QProcess::Running)
            return {};
        m_app.waitForFinished(1000);
        if (m_app.exitStatus() == QProcess::CrashExit)
            return "the program crashed\n" + tail();
        if (m_app.exitCode() != 0)
            return QString("the program ended with status %1\n").arg(m_app.exitCode()) + tail();
        return {};
    }

    QString tail() const { return m_errors.right(6000); }

    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }
    QPoint somewhereIn(const QRect& frame) {
        return frame.topLeft() +
               QPoint(below(std::max(1, frame.width())), below(std::max(1, frame.height())));
    }
    void pause(int fromMs, int toMs) { QThread::msleep(fromMs + below(toMs - fromMs + 1)); }

    // One gesture at a random place in one of the program's shown windows (the bar, the main
    // window, the editor, the panel, menus, alerts), or a key for the window with the focus.
    void act() {
        const QList<QRect> frames = m_display.shownFrames();
        if (frames.isEmpty()) {
            pause(50, 150);
            return;
        }
        // Menus and popups come last: the topmost window is the likeliest target, as a person
        // works in what just opened.
        const QRect target = below(3) == 0 ? frames.at(below(int(frames.size()))) : frames.last();
        const QPoint at = somewhereIn(target);
        switch (below(10)) {
        case 0:
        case 1:
        case 2:
            m_display.click(at);
            break;
        case 3:
            m_display.click(at, 3);
            break;
        case 4:
            m_display.click(at);
            QThread::msleep(60);
            m_display.click(at);
            break;
        case 5:
            drag(at, somewhereIn(target));
            break;
        case 6:
            m_display.click(at, below(2) == 0 ? 4 : 5); // the wheel
            break;
        default:
            typeSomething();
            break;
        }
        pause(40, 250);
    }

    void drag(const QPoint& from, const QPoint& to) {
        m_display.movePointer(from);
        m_display.pressButton();
        for (int step = 1; step <= 6; ++step) {
            m_display.movePointer(from + (to - from) * step / 6);
            QThread::msleep(30);
        }
        m_display.releaseButton();
    }

    void typeSomething() {
        static constexpr std::uint32_t keys[] = {escapeKey, returnKey, tabKey,    deleteKey,
                                                 upKey,     downKey,   pageUpKey, ' '};
        const int choice = below(int(std::size(keys)) + 3);
        if (choice < int(std::size(keys)))
            m_display.typeKey(keys[choice]);
        else if (choice == int(std::size(keys)))
            m_display.typeKey('w', {controlKey}); // Close, or back from the settings
        else
            m_display.typeKey('a' + std::uint32_t(below(26)));
    }

    const Options& m_options;
    const VirtualDisplay& m_display;
    std::mt19937 m_random;
    QProcess m_app;
    QString m_errors;
    int m_actions = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({{"program", "The program to drive.", "path"},
                       {"defaults", "The defaults tool that prepares its profile.", "path"},
                       {"seconds", "How long to drive it.", "seconds", "60"},
                       {"seed", "The seed of the random input.", "number", "1"}});
    parser.process(application);
    Options options;
    options.program = parser.value("program");
    options.defaults = parser.value("defaults");
    options.seconds = parser.value("seconds").toInt();
    options.seed = parser.value("seed").toUInt();
    if (options.program.isEmpty() || options.defaults.isEmpty() || options.seconds <= 0) {
        parser.showHelp(2);
    }

    const TestEnvironment environment;
    if (!environment.isReady()) {
        std::fputs("input soak: cannot make its temporary home\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    const VirtualDisplay display(VirtualDisplay::WindowManager::openbox, QSize(1366, 768));
    if (!display.isRunning()) {
        std::fputs("input soak: no virtual display (are Xvfb and openbox installed?)\n", stderr);
        return 2;
    }
    Soak soak(options, display);
    const QString failure = soak.run();
    if (failure.isEmpty()) {
        std::printf("input soak: seed %u, %d s, %d actions, no failure\n", options.seed,
                    options.seconds, soak.actions());
        return 0;
    }
    std::fprintf(stderr, "input soak: seed %u FAILED after %d actions: %s\n", options.seed,
                 soak.actions(), qPrintable(failure));
    std::fprintf(stderr, "replay: scripts/soak-input.sh --seed %u --seconds %d\n", options.seed,
                 options.seconds);
    return 1;
}
