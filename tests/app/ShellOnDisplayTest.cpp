#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "app/MainWindow.h"
#include "platform/StatusBarButton.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestProfile.h"
#include "support/TestText.h"
#include "support/VirtualDisplay.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QPoint centreOf(const QWidget* widget) {
    return widget->mapToGlobal(widget->rect().center());
}

// A person at the desktop, on a private X server: the first launch, the status menu, and the
// main window closed with the window manager's button.
class ShellOnDisplayTest : public ProfileTest {
protected:
    const VirtualDisplay& display = *VirtualDisplay::ofThisProcess();
    ApplicationContext context;
    AppDelegate delegate{context};
};

TEST_F(ShellOnDisplayTest, FirstLaunchStatusMenuAndClosingTheWindow) {
    // The question is answered with the mouse while the launch waits on it.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!alert || !alert->isVisible())
            return;
        for (QAbstractButton* button : alert->buttons()) {
            if (button->text() == L("onboarding.menubar_button") && button->isVisible())
                display.click(centreOf(button));
        }
    });
    answerer.start(100);
    bool launched = false;
    QTimer::singleShot(0, &delegate, [&] {
        delegate.applicationDidFinishLaunching();
        launched = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return launched; }, 20000)) << "the question stayed open";
    answerer.stop();
    EXPECT_TRUE(Preferences::standard().boolForKey(PreferenceKeys::menuBarMode));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return display.windowFrame("Vesperin status bar").has_value(); }, 5000));
    // A tool window: no taskbar lists a utility window that is transient for the application.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return display.windowProperty("Vesperin", "_NET_WM_WINDOW_TYPE")
                .contains("= _NET_WM_WINDOW_TYPE_UTILITY");
        },
        5000))
        << "the main window still has a taskbar entry: "
        << display.windowProperty("Vesperin", "_NET_WM_WINDOW_TYPE");

    // A right click opens the status menu; its rows read back.
    auto* item = qobject_cast<StatusBarButton*>(context.statusItems.anchor().widget.data());
    ASSERT_TRUE(item);
    ASSERT_TRUE(display.click(centreOf(item), 3));
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; },
        5000));
    QStringList rows;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->isVisible())
            rows.append(action->text());
    }
    EXPECT_EQ(rows, (QStringList{L("cal.ouvrir_le_calendrier"),
                                 L("cal.aujourd_hui_dans_calendrier"), L("cal.ouvrir_vesperin"),
                                 L("menubar.configure"), L("menu.check_updates"),
                                 L("menu.report_problem"), L("cal.quitter_vesperin")}));
    menu->close();

    // In Dock mode the window manager's close button moves the application into the bar.
    delegate.toggleMenuBarMode(false);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return display.windowProperty("Vesperin", "_NET_WM_WINDOW_TYPE")
                .contains("= _NET_WM_WINDOW_TYPE_NORMAL");
        },
        5000));
    ASSERT_TRUE(display.closeWindow("Vesperin"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !delegate.mainWindow()->isVisible(); }, 5000));
    EXPECT_TRUE(Preferences::standard().boolForKey(PreferenceKeys::menuBarMode));
    EXPECT_TRUE(context.statusItems.isEnabled());
    QTest::qWait(200);
    EXPECT_FALSE(delegate.mainWindow()->isVisible()) << "the closed window came back";
}

} // namespace
