#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "harness/VirtualDisplay.h"
#include "platform/KeyFile.h"
#include "settings/Preferences.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString binaries = VESPERIN_BINARY_DIR "/src/";
const QString barTitle = "Vesperin status bar";
// Long enough for a program started on a loaded machine to show a window.
constexpr int windowTimeoutMs = 10000;

class EndToEndTest : public ProfileTest {
protected:
    void defaults(const QStringList& arguments) {
        QProcess tool;
        tool.start(binaries + "vesperin-defaults",
                   QStringList{"write", "com.orvennalabs.vesperin"} + arguments);
        ASSERT_TRUE(tool.waitForFinished());
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }

    // Menu-bar mode with one enabled item per template.
    void prepareMenuBarProfile(const QStringList& templates) {
        defaults({"VSPOnboarded", "-bool", "true"});
        defaults({"VSPMenuBarMode", "-bool", "true"});
        QJsonArray items;
        for (qsizetype i = 0; i < templates.size(); ++i)
            items.append(QJsonObject{
                {"id", QString::asprintf("%XF8FAD5B-D9CB-469F-A165-70867728950E", int(i))},
                {"enabled", true},
                {"template", templates[i]}});
        defaults(
            {"VSPMenuBarLayout", "-data",
             QString::fromLatin1(QJsonDocument(items).toJson(QJsonDocument::Compact).toHex())});
    }

    void startApp() {
        app.setProcessEnvironment(display.environment());
        app.start(binaries + "vesperin");
        ASSERT_TRUE(app.waitForStarted());
    }
    std::optional<QRect> waitForWindow(const QString& title) {
        std::optional<QRect> frame;
        return QTest::qWaitFor([&] { return (frame = display.windowFrame(title)).has_value(); },
                               windowTimeoutMs)
                   ? frame
                   : std::nullopt;
    }
    // What the program said so far, for failure messages.
    std::string standardError() { return app.readAllStandardError().toStdString(); }
    void terminateAndExpectCleanExit() {
        ::kill(pid_t(app.processId()), SIGTERM);
        ASSERT_TRUE(app.waitForFinished(5000)) << "SIGTERM did not end the program\n"
                                               << standardError();
        const std::string errors = standardError();
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << errors;
        EXPECT_EQ(app.exitCode(), 0) << errors;
    }
    std::optional<QVariant> stored(const char* key) {
        return Preferences(Preferences::applicationDomain,
                           profile.preferencesFile(Preferences::applicationDomain))
            .objectForKey(key);
    }

    VirtualDisplay display;
    QProcess app;
};

// The libraries that only the network helper may load.
bool mapsNetworkLibraries(qint64 pid, std::string& found) {
    const QByteArray maps = readFile(QString("/proc/%1/maps").arg(pid));
    for (const char* library : {"libQt6Network", "libssl", "libcrypto", "libproxy", "libgssapi"}) {
        if (maps.contains(library))
            found += std::string(library) + " ";
    }
    return maps.isEmpty() || !found.empty();
}

bool hasChildren(qint64 pid) {
    return !readFile(QString("/proc/%1/task/%1/children").arg(pid)).trimmed().isEmpty();
}

// The bar ticks on screen, and the service check after the first paint runs in the network
// helper: once it has ended, the resident process holds none of the network's libraries.
TEST_F(EndToEndTest, TheBarSpansTheTopOfTheScreenAndItsClockTicks) {
    ASSERT_TRUE(display.isRunning());
    prepareMenuBarProfile({"{wd} {day} {mon}", "{HH}:{min}:{sec}"});
    TestHttpServer service;
    const ScopedEnvironment serviceAddress("VESPERIN_SERVICE_URL", service.url().toEncoded());
    startApp();

    const std::optional<QRect> frame = waitForWindow(barTitle);
    ASSERT_TRUE(frame) << standardError();
    EXPECT_EQ(*frame, QRect(0, 0, 1280, 24));
    // Every window carries the application's icon, for window lists and taskbars.
    EXPECT_TRUE(display.windowProperty(barTitle, "_NET_WM_ICON").contains("(CARDINAL)"))
        << display.windowProperty(barTitle, "_NET_WM_ICON").left(200).toStdString();
    // The desktop finds the installed entry of the program's windows by their class.
    const QString installedClass =
        KeyFile::read(VESPERIN_SOURCE_DIR "/packaging/com.orvennalabs.Vesperin.desktop")
            .string("Desktop Entry", "StartupWMClass");
    EXPECT_TRUE(
        display.windowProperty(barTitle, "WM_CLASS").endsWith(", \"" + installedClass + "\""))
        << display.windowProperty(barTitle, "WM_CLASS").toStdString();

    QTest::qWait(500); // let the first text be drawn
    const QImage before = display.screenshot(*frame);
    QTest::qWait(1500);
    const QImage after = display.screenshot(*frame);
    ASSERT_FALSE(before.isNull());
    EXPECT_NE(before, after) << "the seconds did not move";

    const auto checked = [&] {
        for (const RecordedRequest& request : service.requests()) {
            if (request.path.endsWith("/check"))
                return true;
        }
        return false;
    };
    ASSERT_TRUE(waitUntil([&] { return checked() && !hasChildren(app.processId()); }))
        << standardError();
    std::string found;
    EXPECT_FALSE(mapsNetworkLibraries(app.processId(), found)) << found;

    terminateAndExpectCleanExit();
}

// A signal ends the program as it stands: an open first-launch alert does not hold it up and
// is not taken for an answer, and the open main window is not closed (closing it in Dock mode
// would move the application into the bar for good).
TEST_F(EndToEndTest, TerminationNeitherWaitsForTheAlertNorChangesTheDisplayMode) {
    ASSERT_TRUE(display.isRunning());
    startApp(); // a fresh profile: the first-launch question is open
    ASSERT_TRUE(waitForWindow("Vesperin")) << standardError();
    QTest::qWait(300);
    terminateAndExpectCleanExit();
    EXPECT_FALSE(stored("VSPMenuBarMode"));

    defaults({"VSPOnboarded", "-bool", "true"});
    defaults({"VSPMenuBarMode", "-bool", "false"});
    startApp(); // Dock mode, the main window in front
    ASSERT_TRUE(waitForWindow("Vesperin")) << standardError();
    terminateAndExpectCleanExit();
    EXPECT_EQ(stored("VSPMenuBarMode"), QVariant(false));
}

} // namespace
