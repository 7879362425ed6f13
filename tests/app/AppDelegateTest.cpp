#include "app/AppDelegate.h"

#include "app/ApplicationContext.h"
#include "app/MainWindow.h"
#include "platform/StatusBar.h"
#include "platform/StatusBarButton.h"
#include "settings/CalSettings.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestHttpServer.h"
#include "support/TestProfile.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AppDelegateTest : public ProfileTest {
protected:
    void answer(AppDelegate::Home home) {
        delegate.askWhereToLive = [this, home] {
            ++questions;
            return home;
        };
    }
    bool flag(const char* key) { return Preferences::standard().boolForKey(key); }
    void launch() {
        delegate.applyInitialActivationPolicy();
        delegate.applicationDidFinishLaunching();
        QCoreApplication::processEvents(); // the deferred window ordering
    }
    bool mainWindowHasTaskbarEntry() { return delegate.mainWindow()->windowType() == Qt::Window; }

    ApplicationContext context;
    StatusBar& bar = context.bar;
    AppDelegate delegate{context};
    int questions = 0;
};

// Either answer is stored; the main window comes to the front once, with a taskbar entry
// only in Dock mode, and status items show only in menu-bar mode.
class FirstLaunchTest : public AppDelegateTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FirstLaunchTest, TheAnswerChoosesWhereTheAppLives) {
    const bool menuBar = GetParam();
    answer(menuBar ? AppDelegate::Home::menuBar : AppDelegate::Home::dock);
    launch();
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(flag(PreferenceKeys::onboarded));
    EXPECT_EQ(flag(PreferenceKeys::menuBarMode), menuBar);
    EXPECT_EQ(CalSettings::showInMenuBar(), menuBar);
    EXPECT_EQ(bar.items().isEmpty(), !menuBar);
    EXPECT_EQ(mainWindowHasTaskbarEntry(), !menuBar);
    EXPECT_TRUE(delegate.mainWindow()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Answers, FirstLaunchTest, ::testing::Bool());

TEST_F(AppDelegateTest, TheQuestionIsAskedOnceEvenIfTheProcessDiesWhileItIsOpen) {
    delegate.askWhereToLive = [this] {
        // the answer never comes back; what was stored before asking must hold
        ++questions;
        EXPECT_TRUE(Preferences(Preferences::applicationDomain,
                                profile.preferencesFile(Preferences::applicationDomain))
                        .boolForKey(PreferenceKeys::onboarded));
        return AppDelegate::Home::dock;
    };
    launch();
    ApplicationContext secondContext;
    AppDelegate second(secondContext);
    second.askWhereToLive = delegate.askWhereToLive;
    second.applicationDidFinishLaunching();
    EXPECT_EQ(questions, 1);
}

TEST_F(AppDelegateTest, ClosingTheWindowInDockModeMovesIntoTheBarAndKeepsRunning) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    launch();
    ASSERT_TRUE(bar.items().isEmpty());
    delegate.mainWindow()->close();
    EXPECT_TRUE(flag(PreferenceKeys::menuBarMode));
    EXPECT_FALSE(bar.items().isEmpty());
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    QTest::qWait(50); // whatever the close left to do later
    EXPECT_FALSE(delegate.mainWindow()->isVisible()) << "the closed window came back";
    EXPECT_FALSE(mainWindowHasTaskbarEntry());

    // In menu-bar mode closing it again changes nothing else.
    delegate.showMainWindow();
    delegate.mainWindow()->close();
    EXPECT_TRUE(flag(PreferenceKeys::menuBarMode));
    EXPECT_FALSE(CalSettings::showInMenuBar());
}

// A quit closes every window on its way out; that is no switch to the bar.
TEST_F(AppDelegateTest, QuittingInDockModeStoresNothing) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    launch();
    ASSERT_TRUE(delegate.mainWindow()->isVisible());
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_FALSE(delegate.mainWindow()->isVisible());
    EXPECT_FALSE(Preferences::standard().objectForKey(PreferenceKeys::menuBarMode));
    EXPECT_TRUE(bar.items().isEmpty());
}

TEST_F(AppDelegateTest, TogglingTheModeMovesTheAppBetweenBarAndTaskbar) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    launch();
    delegate.toggleMenuBarMode(true);
    QCoreApplication::processEvents(); // the window's type changes from the event loop
    EXPECT_FALSE(bar.items().isEmpty());
    EXPECT_FALSE(mainWindowHasTaskbarEntry());
    delegate.toggleMenuBarMode(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar.items().isEmpty());
    EXPECT_TRUE(mainWindowHasTaskbarEntry());
}

// vesperin-defaults or a second instance switching the mode moves the running application.
TEST_F(AppDelegateTest, AModeSetByAnotherProcessIsFollowed) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    launch();
    ASSERT_TRUE(bar.items().isEmpty());
    Preferences otherProcess(Preferences::applicationDomain,
                             profile.preferencesFile(Preferences::applicationDomain));
    otherProcess.setBool(PreferenceKeys::menuBarMode, true);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !bar.items().isEmpty() && !mainWindowHasTaskbarEntry(); }, 3000));
    // Back to Dock mode with the window closed: the window comes, or nothing would be on screen.
    delegate.mainWindow()->hide();
    otherProcess.setBool(PreferenceKeys::menuBarMode, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate.mainWindow()->isVisible(); }, 3000));
    EXPECT_TRUE(bar.items().isEmpty());
    EXPECT_TRUE(mainWindowHasTaskbarEntry());
}

// Starting the application again brings it forward where it lives.
TEST_F(AppDelegateTest, AnotherStartReopensTheWindowOrThePanel) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    launch();
    delegate.mainWindow()->hide();
    delegate.reopen();
    EXPECT_TRUE(delegate.mainWindow()->isVisible());

    delegate.toggleMenuBarMode(true);
    QCoreApplication::processEvents();
    delegate.mainWindow()->hide();
    delegate.reopen();
    EXPECT_TRUE(context.panel.isVisible());
    EXPECT_FALSE(delegate.mainWindow()->isVisible());
}

TEST_F(AppDelegateTest, APrimaryClickOnAStatusItemTogglesThePanelUnderIt) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    Preferences::standard().setBool(PreferenceKeys::menuBarMode, true);
    launch();
    bar.show();
    auto* button = qobject_cast<StatusBarButton*>(context.statusItems.anchor().widget.data());
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(context.panel.isVisible());
    // Status items off, whoever changed the setting: the panel goes with them.
    Preferences::standard().setBool(PreferenceKeys::menuBarMode, false);
    EXPECT_FALSE(context.panel.isVisible());
    EXPECT_TRUE(bar.items().isEmpty());
}

TEST_F(AppDelegateTest, OnlyExactlyOneSwitchesTheDebugPanelOn) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    {
        ScopedEnvironment panel("ORVENNA_DEBUG_PANEL", "true");
        launch();
        EXPECT_FALSE(CalSettings::showInMenuBar());
        EXPECT_TRUE(bar.items().isEmpty());
    }
    ScopedEnvironment panel("ORVENNA_DEBUG_PANEL", "1");
    ApplicationContext secondContext;
    AppDelegate second(secondContext);
    second.applicationDidFinishLaunching();
    EXPECT_TRUE(CalSettings::showInMenuBar());
    EXPECT_FALSE(secondContext.bar.items().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondContext.panel.isVisible(); }, 2000));
}

TEST_F(AppDelegateTest, LaunchChecksWithTheServiceAndAgainEveryHour) {
    Preferences::standard().setBool(PreferenceKeys::onboarded, true);
    TestHttpServer service;
    ScopedEnvironment base("VESPERIN_SERVICE_URL", service.url().toString().toUtf8());
    launch();
    ASSERT_TRUE(waitUntil([&] { return !service.requests().isEmpty(); }));
    EXPECT_EQ(service.requests().first().path, "/check");
    EXPECT_TRUE(delegate.syncTimer().isActive());
    EXPECT_EQ(delegate.syncTimer().interval(), 3600 * 1000);
}

} // namespace
