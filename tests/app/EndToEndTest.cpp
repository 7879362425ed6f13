#include "platform/KeyFile.h"
#include "settings/Localization.h"
#include "settings/Preferences.h"
#include "support/PointerGestures.h"
#include "support/TestPictures.h"
#include "support/TestProfile.h"
#include "support/VirtualDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {

const QString binaries = VESPERIN_BINARY_DIR "/src/";
const QString barTitle = "Vesperin status bar";
const QString panelTitle = "Vesperin calendar";
// Long enough for a program started on a loaded machine to show a window.
constexpr int windowTimeoutMs = 10000;

// The box of everything drawn on the bar: what differs from the bar's own colour, the
// hairline along its bottom edge left out. Empty when nothing is drawn.
QRect inkBounds(const QImage& bar) {
    QRect ink;
    const QRgb background = bar.pixel(0, 0);
    for (int y = 0; y < bar.height() - 1; ++y) {
        for (int x = 0; x < bar.width(); ++x) {
            if (bar.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

class EndToEndTest : public ProfileTest {
protected:
    void defaults(const QStringList& arguments) {
        QProcess tool;
        tool.start(binaries + "vesperin-defaults",
                   QStringList{"write", "com.orvennalabs.vesperin"} + arguments);
        ASSERT_TRUE(tool.waitForFinished());
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }

    // One enabled item per template, with ids of their own that stay the same from one
    // layout to the next.
    void writeLayout(const QStringList& templates) {
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

    void prepareMenuBarProfile(const QStringList& templates = {"{wd} {day} {mon}",
                                                               "{HH}:{min}:{sec}"}) {
        defaults({"VSPOnboarded", "-bool", "true"});
        defaults({"VSPMenuBarMode", "-bool", "true"});
        writeLayout(templates);
    }

    void startApp(const QStringList& switches = {}) {
        QProcessEnvironment environment = display.environment();
        for (const QString& name : switches)
            environment.insert(name, "1");
        app.setProcessEnvironment(environment);
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
    bool waitForNoWindow(const QString& title) {
        return QTest::qWaitFor([&] { return !display.windowFrame(title); }, windowTimeoutMs);
    }
    // The bar once its items are drawn and stay as they are (for items that do not tick); a
    // null image when it did not settle.
    QImage settledBar(const QRect& bar) {
        QImage shot = display.screenshot(bar);
        const bool settled = QTest::qWaitFor(
            [&] {
                QTest::qWait(200);
                QImage next = display.screenshot(bar);
                const bool unchanged = next == shot && !inkBounds(next).isEmpty();
                shot = std::move(next);
                return unchanged;
            },
            windowTimeoutMs);
        return settled ? shot : QImage();
    }
    // Starts the application in menu-bar mode with one item whose text does not tick, and
    // keeps the bar once that item is drawn.
    void startWithDateItem(const QStringList& switches = {}) {
        ASSERT_TRUE(display.isRunning());
        prepareMenuBarProfile({"{wd} {day} {mon}"});
        startApp(switches);
        const std::optional<QRect> frame = waitForWindow(barTitle);
        ASSERT_TRUE(frame) << standardError();
        bar = *frame;
        dateItemBar = settledBar(bar);
        ASSERT_FALSE(inkBounds(dateItemBar).isEmpty())
            << "the item was never drawn, or its drawing never settled\n"
            << standardError();
    }
    // How long from now until the bar shows anything but the date item, looking every few
    // milliseconds: the answer to the first picture that shows a change can only be later
    // than the change. Absent when nothing changes within 5 s.
    std::optional<qint64> msUntilTheBarChanges() {
        QElapsedTimer since;
        since.start();
        while (since.elapsed() < 5000) {
            if (display.screenshot(bar) != dateItemBar)
                return since.elapsed();
            QTest::qWait(10);
        }
        return std::nullopt;
    }
    // Whether the bar comes to show an item much longer than the date item.
    bool waitForLongerItem() {
        const int dateItemLeft = inkBounds(dateItemBar).left();
        return QTest::qWaitFor(
            [&] {
                const std::optional<QRect> frame = display.windowFrame(barTitle);
                return frame && inkBounds(display.screenshot(*frame)).left() < dateItemLeft - 100;
            },
            windowTimeoutMs);
    }
    // Opens the panel with a click at `item`, closes it with a second click, and says how
    // wide it was (0 when it did not open).
    int panelWidthOnClick(const QPoint& item) {
        EXPECT_TRUE(display.click(item));
        const std::optional<QRect> panel = waitForWindow(panelTitle);
        if (!panel)
            return 0;
        EXPECT_TRUE(display.click(item));
        EXPECT_TRUE(waitForNoWindow(panelTitle)) << "a second click did not close the panel";
        // Past the guard that keeps the click which closed a panel from reopening it.
        QTest::qWait(500);
        return panel->width();
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
    // The bar's frame, and what it showed with the date item alone.
    QRect bar;
    QImage dateItemBar;
};

TEST_F(EndToEndTest, TheBarSpansTheTopOfTheScreenAndItsClockTicks) {
    ASSERT_TRUE(display.isRunning());
    prepareMenuBarProfile();
    startApp();

    const std::optional<QRect> frame = waitForWindow(barTitle);
    ASSERT_TRUE(frame) << standardError();
    EXPECT_EQ(*frame, QRect(0, 0, 1280, 24));
    EXPECT_TRUE(display.windowProperty(barTitle, "_NET_WM_WINDOW_TYPE").contains("DOCK"));
    EXPECT_TRUE(display.windowProperty(barTitle, "_NET_WM_STRUT_PARTIAL")
                    .endsWith("= 0, 0, 24, 0, 0, 0, 0, 0, 0, 1279, 0, 0"))
        << display.windowProperty(barTitle, "_NET_WM_STRUT_PARTIAL").toStdString();
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

// The tool writes while the application runs: the bar shows the new layout within a second of
// the write. The bar is looked at every few milliseconds; the change is counted at the
// answer to the first picture that shows it, which can only be later than the change.
TEST_F(EndToEndTest, ALayoutWrittenByTheToolIsOnTheBarWithinASecond) {
    ASSERT_NO_FATAL_FAILURE(startWithDateItem());

    writeLayout({"{wd} {day} {mon} and a long line of free text"});
    const std::optional<qint64> changedBy = msUntilTheBarChanges();
    ASSERT_TRUE(changedBy) << "the bar did not change in 5 s\n" << standardError();
    EXPECT_LE(*changedBy, 1000) << "after the tool ended\n" << standardError();
    EXPECT_TRUE(waitForLongerItem()) << "what changed is not the item's text\n" << standardError();

    terminateAndExpectCleanExit();
}

// The editor, opened at start by its switch: the first chip of its palette (the clock
// "{HH}:{min}") dragged with the real pointer onto the right half of the item's segment
// extends the item, and the bar shows it within a second of the drop.
TEST_F(EndToEndTest, AChipDraggedInTheEditorIsOnTheBarWithinASecond) {
    ASSERT_NO_FATAL_FAILURE(startWithDateItem({"ORVENNA_DEBUG_MENUBAR"}));
    const std::optional<QRect> editor = waitForWindow(L("menubar.config_title"));
    ASSERT_TRUE(editor) << "the editor did not open\n" << standardError();
    ASSERT_EQ(editor->size(), QSize(780, 730));
    QTest::qWait(300); // its first paint

    const QPoint firstChip = editor->topLeft() + QPoint(256 + 5 + 12, 138 + 21 + 11);
    const QPoint segmentRightHalf = editor->topLeft() + QPoint(16 + 748 - 12 - 8, 32 + 20);
    // Another process drags: a few moves more over the segment keep its drag looking.
    ASSERT_TRUE(dragWithPointer(display, firstChip, segmentRightHalf,
                                [moves = 0]() mutable { return ++moves > 10; }));
    const std::optional<qint64> changedBy = msUntilTheBarChanges();
    ASSERT_TRUE(changedBy) << "the bar did not change in 5 s\n" << standardError();
    EXPECT_LE(*changedBy, 1000) << standardError();
    const QRect longer = inkBounds(display.screenshot(bar));
    EXPECT_LT(longer.left(), inkBounds(dateItemBar).left() - 20)
        << "what changed is not the item's text\n"
        << standardError();
    keepForLooking(display.screenshot(QRect(0, 0, 1280, 800)), "editor-after-drop");

    terminateAndExpectCleanExit();
}

// The panel reads its settings at every opening, so a week-number column written by the tool
// while the application runs is in the next panel that opens.
TEST_F(EndToEndTest, WeekNumbersWrittenByTheToolAreInTheNextPanel) {
    ASSERT_NO_FATAL_FAILURE(startWithDateItem());
    const QPoint item = inkBounds(dateItemBar).translated(bar.topLeft()).center();

    EXPECT_EQ(panelWidthOnClick(item), 294) << standardError();
    defaults({"VSPWeekNumbers", "-bool", "true"});
    EXPECT_EQ(panelWidthOnClick(item), 322) << standardError();

    terminateAndExpectCleanExit();
}

// A file synchronising tool, or a person, replaces the preferences with a file the
// application cannot read: the running application moves it aside, bytes intact, writes back
// what it held, and carries on following its preferences.
TEST_F(EndToEndTest, AnUnreadableFileFromOutsideIsMovedAsideAndTheAppCarriesOn) {
    ASSERT_NO_FATAL_FAILURE(startWithDateItem());

    const QString file = profile.preferencesFile(Preferences::applicationDomain);
    const QDir folder = QFileInfo(file).dir();
    const QByteArray garbage = "{\"VSPMenuBarMode\": {\"bool\": tr\xff";
    const QString incoming = folder.filePath(".sync-" + QFileInfo(file).fileName() + ".tmp");
    writeFile(incoming, garbage);
    ASSERT_EQ(std::rename(QFile::encodeName(incoming), QFile::encodeName(file)), 0);

    QStringList aside;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            aside = folder.entryList({QFileInfo(file).fileName() + ".unreadable-*"});
            return !aside.isEmpty();
        },
        windowTimeoutMs))
        << "the unreadable file was not moved aside\n"
        << standardError();
    EXPECT_EQ(readFile(folder.filePath(aside.first())), garbage);

    // What the application held is written back: the file reads again, the bar stays, and the
    // application still follows what the tool writes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return stored("VSPMenuBarMode") == QVariant(true); },
                                windowTimeoutMs));
    QTest::qWait(300);
    EXPECT_TRUE(display.windowFrame(barTitle)) << "the bar went away\n" << standardError();
    writeLayout({"{wd} {day} {mon} after a broken file"});
    EXPECT_TRUE(waitForLongerItem())
        << "the bar does not show the layout written after the broken file\n"
        << standardError();

    terminateAndExpectCleanExit();
}

} // namespace
