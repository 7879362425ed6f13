#include "app/MainWindow.h"

#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "app/MainView.h"
#include "app/SettingsView.h"
#include "editor/ConfiguratorWindow.h"
#include "harness/FakeDesktop.h"
#include "harness/TestPictures.h"
#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "platform/LoginItem.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "ui/Appearance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

// Takes the addresses the application hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url.toString()); }
};

namespace {

// The main window of a launched application in Dock mode, on a GNOME desktop played by
// FakeDesktop so that the compact clock can be switched.
class MainWindowTest : public ProfileTest {
protected:
    MainWindowTest() {
        Preferences::standard().setBool(PreferenceKeys::onboarded, true);
        delegate.finishLaunching();
        QCoreApplication::processEvents();
    }
    MainWindow& window() { return *delegate.mainWindow(); }
    MainView& mainView() { return *window().mainView(); }
    SettingsView& settingsView() { return *window().settingsView(); }

    ScopedEnvironment session{"XDG_CURRENT_DESKTOP", "GNOME"};
    FakeDesktop desktop;
    ApplicationContext context{{{}, &desktop, std::nullopt, {}}};
    AppDelegate delegate{context};
};

// The button says what it will do, and does it: in Dock mode it puts the status items into
// the bar and takes them away again; in menu-bar mode it stands for the editor.
TEST_F(MainWindowTest, TheMenuBarButtonFollowsItsThreeStates) {
    QPushButton* button = mainView().calButton();
    EXPECT_EQ(button->text(), L("quota.shown_in_menubar_title"));
    EXPECT_EQ(mainView().calStatusLabel()->text(), L("cal.pas_encore_dans_la_barre"));
    button->click();
    EXPECT_TRUE(context.settings.showInMenuBar());
    EXPECT_FALSE(context.bar.items().isEmpty());
    EXPECT_EQ(button->text(), L("stats.remove_from_menubar"));
    EXPECT_EQ(mainView().calStatusLabel()->text(), L("cal.visible_dans_la_barre_de"));
    button->click();
    EXPECT_TRUE(context.bar.items().isEmpty());

    delegate.toggleMenuBarMode(true);
    EXPECT_EQ(button->text(), L("menubar.configure"));
    button->click();
    ASSERT_TRUE(context.configurator.window());
    EXPECT_TRUE(context.configurator.window()->isVisible());
}

// Ctrl+W goes back from the settings before it closes the window; a closed window shows the
// same view when it comes back.
TEST_F(MainWindowTest, CloseGoesBackFromTheSettingsBeforeItCloses) {
    mainView().settingsButton()->click();
    ASSERT_TRUE(window().showsSettings());
    delegate.closeOrBack();
    EXPECT_FALSE(window().showsSettings());
    EXPECT_TRUE(window().isVisible());
    // Return presses the main view's button wherever in the view the focus is.
    mainView().settingsButton()->setFocus();
    QTest::keyClick(mainView().settingsButton(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([this] { return context.settings.showInMenuBar(); }, 2000));
    EXPECT_FALSE(window().showsSettings());
    delegate.closeOrBack();
    EXPECT_FALSE(window().isVisible());

    delegate.showSettings();
    window().close();
    delegate.showMainWindow();
    EXPECT_TRUE(window().showsSettings());
}

// Every control acts at once, and shows a change made anywhere else.
TEST_F(MainWindowTest, EverySettingActsAtOnce) {
    SettingsView& view = settingsView();
    EXPECT_EQ(view.weekdayPopUp()->currentText(), "Lundi");
    view.weekdayPopUp()->setCurrentIndex(1);
    Q_EMIT view.weekdayPopUp()->activated(1);
    EXPECT_EQ(context.settings.firstWeekday(), 1);
    view.weekNumbersBox()->click();
    EXPECT_TRUE(context.settings.showWeekNumbers());

    delegate.showSettings();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.compactClockBox()->isHidden(); }, 5000))
        << "GNOME shows the clock it changes";
    view.compactClockBox()->click();
    EXPECT_TRUE(Preferences::standard().boolForKey(PreferenceKeys::compactSystemClock));
    EXPECT_FALSE(desktop.settings.value("clock-show-date"));
    delegate.toggleCompactSystemClockMenu(); // as the status menu does
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.compactClockBox()->isChecked(); }, 2000));

    // Automatic updates are both the checks and the downloads.
    view.automaticUpdatesBox()->click();
    EXPECT_TRUE(context.settings.automaticUpdateChecks());
    EXPECT_TRUE(context.settings.automaticUpdateDownloads());
    context.settings.setAutomaticUpdateDownloads(false);
    EXPECT_FALSE(view.automaticUpdatesBox()->isChecked());

    view.menuBarModeBox()->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(context.bar.items().isEmpty());

    UrlCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    view.makerLink()->click();
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(browser.opened, QStringList{SettingsView::makerAddress});

    Preferences::standard().setBool(PreferenceKeys::weekNumbers, false);
    EXPECT_FALSE(view.weekNumbersBox()->isChecked());
}

// The box switches the login item (the autostart entry); when it cannot be made, the box shows
// that it is not there.
TEST_F(MainWindowTest, TheLoginBoxShowsWhatIsReallyThere) {
    QCheckBox* box = settingsView().loginItemBox();
    writeFile(QFileInfo(LoginItem::entryPath()).path(), "a file where the folder should be");
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(LoginItem::isEnabled());
}

// In both appearances the views draw their secondary texts for the background they are on.
TEST_F(MainWindowTest, BothViewsFollowTheAppearance) {
    delegate.showSettings();
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        window().setPalette(Appearances::palette(appearance));
        const QColor tagline =
            mainView().findChildren<QLabel*>().at(2)->palette().color(QPalette::WindowText);
        EXPECT_EQ(tagline, Appearances::secondaryLabelColor(appearance));
        keepForLooking(mainView().grab().toImage(), "main-window-" + nameOf(appearance));
        keepForLooking(settingsView().grab().toImage(), "settings-" + nameOf(appearance));
    }
}

} // namespace

#include "MainWindowTest.moc"
