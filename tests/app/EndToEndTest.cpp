#include "settings/Preferences.h"
#include "support/TestProfile.h"
#include "support/VirtualDisplay.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString binaries = VESPERIN_BINARY_DIR "/src/";
const QString barTitle = "Vesperin status bar";

class EndToEndTest : public ProfileTest {
protected:
    void defaults(const QStringList& arguments) {
        QProcess tool;
        tool.start(binaries + "vesperin-defaults",
                   QStringList{"write", "com.orvennalabs.vesperin"} + arguments);
        ASSERT_TRUE(tool.waitForFinished());
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }

    void prepareMenuBarProfile() {
        const QByteArray layout = R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","enabled":true,)"
                                  R"("template":"{wd} {day} {mon}"},)"
                                  R"({"id":"1F8FAD5B-D9CB-469F-A165-70867728950E","enabled":true,)"
                                  R"("template":"{HH}:{min}:{sec}"}])";
        defaults({"VSPOnboarded", "-bool", "true"});
        defaults({"VSPMenuBarMode", "-bool", "true"});
        defaults({"VSPMenuBarLayout", "-data", QString::fromLatin1(layout.toHex())});
    }

    void startApp() {
        app.setProcessEnvironment(display.environment());
        app.start(binaries + "vesperin");
        ASSERT_TRUE(app.waitForStarted());
    }
    bool waitForWindow(const QString& title) {
        return QTest::qWaitFor([&] { return display.windowFrame(title).has_value(); }, 10000);
    }
    // What the program said, for failure messages; read once it has ended.
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

TEST_F(EndToEndTest, TheBarSpansTheTopOfTheScreenAndItsClockTicks) {
    ASSERT_TRUE(display.isRunning());
    prepareMenuBarProfile();
    startApp();

    std::optional<QRect> frame;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (frame = display.windowFrame(barTitle)).has_value(); }, 10000))
        << standardError();
    EXPECT_EQ(*frame, QRect(0, 0, 1280, 24));
    EXPECT_TRUE(display.windowProperty(barTitle, "_NET_WM_WINDOW_TYPE").contains("DOCK"));
    EXPECT_TRUE(display.windowProperty(barTitle, "_NET_WM_STRUT_PARTIAL")
                    .endsWith("= 0, 0, 24, 0, 0, 0, 0, 0, 0, 1279, 0, 0"))
        << display.windowProperty(barTitle, "_NET_WM_STRUT_PARTIAL").toStdString();

    QTest::qWait(500); // let the first text be drawn
    const QImage before = display.screenshot(*frame);
    QTest::qWait(1500);
    const QImage after = display.screenshot(*frame);
    ASSERT_FALSE(before.isNull());
    EXPECT_NE(before, after) << "the seconds did not move";

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
