#include "app/AppDelegate.h"

#include "app/ApplicationContext.h"
#include "app/MainView.h"
#include "app/MainWindow.h"
#include "calendar/CalEngine.h"
#include "editor/ConfiguratorWindow.h"
#include "harness/FakeDesktop.h"
#include "harness/ModalAnswerer.h"
#include "harness/ShownWindows.h"
#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "status/ownbar/StatusBar.h"
#include "support/MessagesWindow.h"
#include "ui/PassThroughLabel.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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
    // The status menu as a host shows it: brought up to date on aboutToShow.
    static QMenu& shownStatusMenu(ApplicationContext& shown) {
        Q_EMIT shown.statusMenu.aboutToShow();
        return shown.statusMenu;
    }
    void launch() {
        delegate.applyInitialActivationPolicy();
        delegate.finishLaunching();
        QCoreApplication::processEvents(); // the deferred window ordering
    }
    bool mainWindowHasTaskbarEntry() { return delegate.mainWindow()->windowType() == Qt::Window; }
    // Past the first-launch question, in Dock mode unless told otherwise.
    static void onboard(bool menuBar = false) {
        Preferences::standard().setBool(PreferenceKeys::onboarded, true);
        if (menuBar)
            Preferences::standard().setBool(PreferenceKeys::menuBarMode, true);
    }

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
    EXPECT_EQ(context.settings.showInMenuBar(), menuBar);
    EXPECT_EQ(bar.items().isEmpty(), !menuBar);
    EXPECT_EQ(mainWindowHasTaskbarEntry(), !menuBar);
    EXPECT_TRUE(delegate.mainWindow()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Answers, FirstLaunchTest, ::testing::Bool());

// The welcome alert itself, answered with its menu-bar button.
TEST_F(AppDelegateTest, TheWelcomeAlertsMenuBarButtonAnswersTheMenuBar) {
    const ModalAnswerer answerer([](QWidget* modal) {
        if (auto* alert = qobject_cast<QMessageBox*>(modal)) {
            for (QAbstractButton* button : alert->buttons())
                if (button->text() == L("onboarding.menubar_button"))
                    button->click();
        }
    });
    launch();
    EXPECT_TRUE(flag(PreferenceKeys::menuBarMode));
}

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
    second.finishLaunching();
    EXPECT_EQ(questions, 1);
}

// The desktop test closes the window with the window manager's button; here, what it cannot
// see: the process keeps running, and the window loses its taskbar entry.
TEST_F(AppDelegateTest, ClosingTheWindowInDockModeMovesIntoTheBarAndKeepsRunning) {
    onboard();
    launch();
    delegate.mainWindow()->close();
    EXPECT_TRUE(flag(PreferenceKeys::menuBarMode));
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    QTest::qWait(200); // whatever the close left to do later
    EXPECT_FALSE(mainWindowHasTaskbarEntry());
    EXPECT_FALSE(delegate.mainWindow()->isVisible()) << "the closed window came back";

    // In menu-bar mode closing it again changes nothing else.
    delegate.showMainWindow();
    delegate.mainWindow()->close();
    EXPECT_TRUE(flag(PreferenceKeys::menuBarMode));
    EXPECT_FALSE(context.settings.showInMenuBar());
}

// vesperin-defaults or a second instance switching the mode moves the running application.
TEST_F(AppDelegateTest, AModeSetByAnotherProcessIsFollowed) {
    onboard();
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

// Starting the application again brings it forward where it lives; the panel goes with the
// status items.
TEST_F(AppDelegateTest, AnotherStartReopensTheWindowOrThePanel) {
    onboard();
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

    // Status items off, whoever changed the setting: the panel goes with them.
    Preferences::standard().setBool(PreferenceKeys::menuBarMode, false);
    EXPECT_FALSE(context.panel.isVisible());
}

// What a bar's click asks through `vesperin --open=...`: the panel where the click was (a
// second click closes it), the wheel turning its month, the status menu, the settings.
TEST_F(AppDelegateTest, AnotherStartsRequestOpensWhatItNames) {
    onboard(true);
    launch();
    context.panel.close();
    QTest::qWait(300);        // past the quarter second in which a closed panel stays closed
    QCursor::setPos(400, 10); // where the bar was clicked
    delegate.handle({OpenRequest::What::panel, QPoint(400, 10), 0});
    ASSERT_TRUE(context.panel.isVisible());
    EXPECT_NEAR(context.panel.panel()->geometry().center().x(), 400, 1);
    const QDateTime month = context.panel.displayedMonth();
    delegate.handle({OpenRequest::What::scroll, std::nullopt, 1});
    EXPECT_EQ(context.panel.displayedMonth(), CalEngine::shiftMonth(month, -1));
    delegate.handle({OpenRequest::What::panel, QPoint(400, 10), 0});
    EXPECT_FALSE(context.panel.isVisible());

    delegate.handle({OpenRequest::What::menu, QPoint(200, 0), 0});
    EXPECT_TRUE(context.statusMenu.isVisible());
    context.statusMenu.close();
    delegate.handle({OpenRequest::What::settings, std::nullopt, 0});
    EXPECT_TRUE(delegate.mainWindow()->showsSettings());
}

// A session in the menu bar pays for the main window only once it is asked for.
TEST_F(AppDelegateTest, InTheMenuBarTheWindowIsBuiltWhenFirstAskedFor) {
    onboard(true);
    launch();
    EXPECT_FALSE(delegate.mainWindow());
    delegate.closeOrBack();
    delegate.reopen();
    EXPECT_FALSE(delegate.mainWindow());

    delegate.showSettings();
    ASSERT_TRUE(delegate.mainWindow());
    EXPECT_TRUE(delegate.mainWindow()->isVisible());
    EXPECT_TRUE(delegate.mainWindow()->showsSettings());
    EXPECT_FALSE(mainWindowHasTaskbarEntry());

    // Switched to Dock mode from outside before the window was ever built: it comes.
    ApplicationContext secondContext;
    AppDelegate second(secondContext);
    second.finishLaunching();
    ASSERT_FALSE(second.mainWindow());
    Preferences(Preferences::applicationDomain,
                profile.preferencesFile(Preferences::applicationDomain))
        .setBool(PreferenceKeys::menuBarMode, false);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return second.mainWindow() && second.mainWindow()->isVisible(); }, 3000));
}

TEST_F(AppDelegateTest, OnlyExactlyOneSwitchesTheDebugPanelOn) {
    onboard();
    {
        ScopedEnvironment panel("ORVENNA_DEBUG_PANEL", "true");
        launch();
        EXPECT_FALSE(context.settings.showInMenuBar());
        EXPECT_TRUE(bar.items().isEmpty());
    }
    ScopedEnvironment panel("ORVENNA_DEBUG_PANEL", "1");
    ScopedEnvironment editor("ORVENNA_DEBUG_MENUBAR", "1");
    ApplicationContext secondContext;
    AppDelegate second(secondContext);
    second.finishLaunching();
    EXPECT_TRUE(secondContext.configurator.window() &&
                secondContext.configurator.window()->isVisible());
    EXPECT_TRUE(context.settings.showInMenuBar());
    EXPECT_FALSE(secondContext.bar.items().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondContext.panel.isVisible(); }, 2000));
}

// A desktop that notes what shows when the system's crash records are listed, and whose
// settings tool answers when the test lets it.
class WatchedDesktop : public FakeDesktop {
public:
    std::function<void()> listingCrashes;
    std::function<void()> askingSettings;
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) override {
        if (program == "coredumpctl" && listingCrashes)
            listingCrashes();
        if (program == "gsettings" && askingSettings)
            askingSettings();
        return FakeDesktop::run(program, arguments);
    }
};

// GNOME's settings tool may take seconds to say whether its clock can be made compact: the
// status menu opens at once without that row, and shows it when the answer comes.
TEST_F(AppDelegateTest, TheStatusMenuNeverWaitsForTheDesktopsSettingsTool) {
    onboard(true);
    const ScopedEnvironment session{"XDG_CURRENT_DESKTOP", "GNOME"};
    WatchedDesktop desktop;
    std::atomic<bool> answer = false;
    desktop.askingSettings = [&] {
        while (!answer)
            QThread::msleep(5);
    };
    ApplicationContext gnome({{}, &desktop, std::nullopt, {}});
    AppDelegate starting(gnome);
    // Were the menu to wait, only this would end the wait.
    QSemaphore done;
    std::thread guard([&] {
        done.tryAcquire(1, 5000);
        answer = true;
    });
    QAction* clock = shownStatusMenu(gnome).actions().at(6);
    const bool answeredBeforeTheMenuOpened = answer;
    answer = true;
    done.release();
    guard.join();
    EXPECT_FALSE(answeredBeforeTheMenuOpened) << "the menu waited for the settings tool";
    EXPECT_EQ(clock->text(), L("settings.compact_system_clock"));
    EXPECT_TRUE(waitUntil([&] { return clock->isVisible(); }));
}

// A day that no calendar application can open is said where it was asked for: a notice of its
// own from the status menu, over the main window from a double-click in its month.
TEST_F(AppDelegateTest, NoCalendarApplicationIsSaidWhereverTheDayWasAskedFor) {
    onboard();
    launch();
    const auto notices = shownWindows<QMessageBox>;
    delegate.openToday();
    ASSERT_EQ(notices().size(), 1);
    EXPECT_EQ(notices().first()->text(), L("cal.no_calendar_app"));
    EXPECT_EQ(notices().first()->parentWidget(), nullptr);
    notices().first()->close();

    Q_EMIT delegate.mainWindow()->mainView()->dayDoubleClicked(QDateTime::currentDateTime());
    ASSERT_EQ(notices().size(), 1);
    EXPECT_EQ(notices().first()->text(), L("cal.no_calendar_app"));
    EXPECT_EQ(notices().first()->parentWidget(), delegate.mainWindow());
    notices().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Listing the system's crash records can take a while: the bar does not wait for it.
TEST_F(AppDelegateTest, EarlierCrashesAreLookedForOnceTheBarShows) {
    onboard(true);
    WatchedDesktop desktop;
    ApplicationContext menuBar({{}, &desktop, std::nullopt, {}});
    AppDelegate starting(menuBar);
    std::optional<bool> barShownThen;
    desktop.listingCrashes = [&] { barShownThen = menuBar.bar.isVisible(); };
    starting.finishLaunching();
    EXPECT_TRUE(menuBar.bar.isVisible());
    EXPECT_FALSE(barShownThen) << "the launch waited for the crash records";
    ASSERT_TRUE(waitUntil([&] { return barShownThen.has_value(); }));
    EXPECT_TRUE(*barShownThen);
}

// In Dock mode, with the main window on screen, a message found by a sync is shown at once;
// the check repeats every hour.
TEST_F(AppDelegateTest, LaunchChecksWithTheServiceAndShowsWhatItSays) {
    onboard();
    TestHttpServer service;
    service.answer(200, R"({"mid":5,"tk":"open","msg":"We fixed it"})");
    ScopedEnvironment base("VESPERIN_SERVICE_URL", service.url().toString().toUtf8());
    QStringList presented;
    context.support.presentMessage = [&](const QString& body) { presented.append(body); };
    launch();
    ASSERT_TRUE(waitUntil([&] { return !presented.isEmpty(); }));
    EXPECT_EQ(service.requests().first().path, "/check");
    EXPECT_EQ(presented, QStringList{"We fixed it"});
    EXPECT_TRUE(delegate.syncTimer().isActive());

    const MainView* main = delegate.mainWindow()->mainView();
    EXPECT_FALSE(main->messagesButton()->isHidden()) << "the ticket is open";
    EXPECT_TRUE(main->messagesBadge()->isHidden()) << "the message was read in its alert";
    const QMenu* application = delegate.mainWindow()->menuBar()->actions().at(0)->menu();
    EXPECT_TRUE(application->actions().first()->isVisible());
}

// In the menu bar the message waits, marked in the status menu and on the main view, until
// the user opens the conversation from there.
TEST_F(AppDelegateTest, InTheMenuBarAMessageWaitsForTheConversationToOpen) {
    onboard(true);
    TestHttpServer service;
    service.answer(200, R"({"mid":5,"tk":"open","msg":"We fixed it"})");
    ScopedEnvironment base("VESPERIN_SERVICE_URL", service.url().toString().toUtf8());
    context.support.presentMessage = [](const QString& body) {
        ADD_FAILURE() << body.toStdString();
    };
    launch();
    ASSERT_TRUE(waitUntil([&] { return context.service.pendingMessage().has_value(); }));
    // A window built after the message came marks it too.
    delegate.showMainWindow();
    const MainView* main = delegate.mainWindow()->mainView();
    EXPECT_FALSE(main->messagesBadge()->isHidden());
    QAction* messages = shownStatusMenu(context).actions().at(3);
    EXPECT_EQ(messages->text(), L("messages.banner_title"));
    EXPECT_TRUE(messages->isVisible());

    messages->trigger();
    ASSERT_TRUE(waitUntil([&] { return context.support.messagesWindow() != nullptr; }));
    EXPECT_TRUE(context.support.messagesWindow()->isVisible());
    EXPECT_TRUE(main->messagesBadge()->isHidden());
    shownStatusMenu(context);
    EXPECT_FALSE(messages->isVisible());
}

} // namespace
