#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "app/MainWindow.h"
#include "editor/ConfiguratorWindow.h"
#include "harness/ModalAnswerer.h"
#include "harness/TestPictures.h"
#include "harness/TestProfile.h"
#include "harness/VirtualDisplay.h"
#include "platform/X11Dock.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "status/ownbar/StatusBarButton.h"
#include "support/ProblemReportDialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t escapeKey = 0xff1b, returnKey = 0xff0d;

// A widget's, or a bar item's, centre on the screen.
template <typename Shown> QPoint centreOf(const Shown* shown) {
    return shown->mapToGlobal(shown->rect().center());
}

// The shell of the whole application in the bar, on a private X server with a window manager,
// used with the real pointer and keyboard (XTest) as a person uses it.
class ShellOnDesktopTest : public ProfileTest {
protected:
    ShellOnDesktopTest() { delegate.finishLaunching(); }

    bool barShows() const {
        return QTest::qWaitFor(
            [&] { return display.windowFrame("Vesperin status bar").has_value(); }, 10000);
    }
    StatusBarButton* item() const {
        return qobject_cast<StatusBarButton*>(context.statusItems.anchor().source.data());
    }
    // Opens the status menu with a right click and clicks the row titled by `titleKey`.
    void chooseFromStatusMenu(const char* titleKey) {
        ASSERT_TRUE(item());
        QMenu* menu = nullptr;
        const auto menuShows = [&] {
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return menu && menu->isVisible();
        };
        ASSERT_TRUE(display.click(centreOf(item()), 3));
        ASSERT_TRUE(QTest::qWaitFor(menuShows, 5000));
        QAction* row = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == L(titleKey))
                row = action;
        }
        ASSERT_TRUE(row);
        QTest::qWait(100);
        ASSERT_TRUE(display.click(menu->mapToGlobal(menu->actionGeometry(row).center())));
    }

    const VirtualDisplay& display = *VirtualDisplay::ofThisProcess();
    // Stored before the application is made, as a user who lives in the bar has them.
    struct InTheBar {
        InTheBar() {
            Preferences::standard().setBool(PreferenceKeys::onboarded, true);
            Preferences::standard().setBool(PreferenceKeys::menuBarMode, true);
        }
    } inTheBar;
    ApplicationContext context;
    AppDelegate delegate{context};
};

// A report sent from the status menu while the service is out of reach: "Not Sent", then the
// dialog again with the text kept; the application lives on with its bar.
TEST_F(ShellOnDesktopTest, AReportThatCannotBeSentComesBackWithItsTextAndTheAppCarriesOn) {
    ASSERT_TRUE(barShows());
    QStringList seen;
    const ModalAnswerer answerer(
        [&](QWidget* modal) {
            if (auto* dialog = qobject_cast<ProblemReportDialog*>(modal)) {
                seen.append("dialog:" + dialog->textArea()->toPlainText());
                if (!dialog->textArea()->toPlainText().isEmpty()) {
                    display.typeKey(escapeKey);
                    return;
                }
                display.typeText("It opens twice");
                QTest::qWait(100);
                display.click(centreOf(dialog->sendButton()));
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen.append("alert:" + box->informativeText());
                display.typeKey(returnKey);
            }
        },
        ModalAnswerer::oncePerNewModal);
    chooseFromStatusMenu("menu.report_problem");
    const QStringList expected{"dialog:", "alert:" + L("report.failed_message"),
                               "dialog:It opens twice"};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return seen.size() == expected.size() && !QApplication::activeModalWidget(); },
        20000));
    EXPECT_EQ(seen, expected);
    QTest::qWait(300); // anything freed under Qt's feet would break now
    EXPECT_TRUE(display.windowFrame("Vesperin status bar").has_value());
}

// On a 1366 x 768 laptop with the bar at the top and a 30-point panel at the bottom, the main
// window (in the bar and in Dock mode), the settings and the editor lie wholly in the work
// area, the window manager's frames included.
TEST_F(ShellOnDesktopTest, EveryWindowFitsALaptopScreenWithABarAndABottomPanel) {
    ASSERT_TRUE(display.addBottomPanel(30));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto area = X11Dock::workArea();
            return area && area->top() == 24 && area->bottom() == 768 - 30 - 1 &&
                   QGuiApplication::primaryScreen()->availableGeometry() == *area;
        },
        10000))
        << "the window manager never made room for the bar and the panel";
    // In Dock mode without status items the bar goes, and the work area grows upwards.
    const auto fitsOnce = [&](const QString& title, const char* picture) {
        std::optional<QRect> frame;
        const bool settled = QTest::qWaitFor(
            [&] {
                frame = display.windowFrame(title, true);
                const auto area = X11Dock::workArea();
                return frame && area && area->contains(*frame);
            },
            10000);
        QTest::qWait(300); // painted, for the picture
        keepForLooking(display.screenshot(QRect(0, 0, 1366, 768)), picture);
        const QRect at = frame.value_or(QRect());
        EXPECT_TRUE(settled) << title.toStdString() << " lies at " << at.x() << "," << at.y() << " "
                             << at.width() << "x" << at.height();
    };
    delegate.showMainWindow();
    fitsOnce("Vesperin", "laptop-main-window");
    delegate.showSettings();
    fitsOnce("Vesperin", "laptop-settings");
    delegate.mainWindow()->showMain();
    delegate.toggleMenuBarMode(false);
    fitsOnce("Vesperin", "laptop-main-window-dock");
    context.configurator.show();
    fitsOnce(L("menubar.config_title"), "laptop-editor");
}

// A second start brings the main window back in front, minimised or covered (Dock mode).
TEST_F(ShellOnDesktopTest, AnotherStartBringsBackAMinimisedOrCoveredWindow) {
    delegate.toggleMenuBarMode(false);
    delegate.showMainWindow();
    QWidget* window = delegate.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, 10000));
    window->showMinimized();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !display.windowFrame("Vesperin").has_value(); }, 5000));
    delegate.reopen();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return display.windowFrame("Vesperin").has_value() && window->isActiveWindow(); },
        5000))
        << "the minimised window stayed away";

    context.configurator.show();
    ASSERT_TRUE(
        QTest::qWaitForWindowActive(static_cast<QWidget*>(context.configurator.window()), 10000));
    delegate.reopen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }, 5000))
        << "the covered window stayed behind";
}

// The calendar panel is no window for taskbars and pagers to list; without a compositor its
// corners are drawn square rather than left black.
TEST_F(ShellOnDesktopTest, ThePanelStaysOffTaskbarsAndHasNoBlackCorners) {
    ASSERT_TRUE(barShows());
    delegate.openPanel();
    std::optional<QRect> frame;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (frame = display.windowFrame("Vesperin calendar")).has_value(); }, 5000));
    const QString states = display.windowProperty("Vesperin calendar", "_NET_WM_STATE");
    EXPECT_TRUE(states.contains("_NET_WM_STATE_SKIP_TASKBAR")) << states.toStdString();
    EXPECT_TRUE(states.contains("_NET_WM_STATE_SKIP_PAGER")) << states.toStdString();
    QImage corners;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            corners = display.screenshot(*frame);
            return corners.pixelColor(corners.rect().center()).lightness() > 100;
        },
        5000))
        << "the panel was never painted";
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(corners.width() - 1, 0), QPoint(0, corners.height() - 1),
          QPoint(corners.width() - 1, corners.height() - 1)})
        EXPECT_GT(corners.pixelColor(corner).lightness(), 100) << corner.x() << "," << corner.y();
    keepForLooking(corners, "panel-without-compositor");
}

} // namespace
