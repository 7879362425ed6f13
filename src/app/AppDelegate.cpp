#include "app/AppDelegate.h"

#include "app/ApplicationContext.h"
#include "app/Logging.h"
#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/Menus.h"
#include "app/SettingsView.h"
#include "calendar/CalEngine.h"
#include "crash/CrashReporter.h"
#include "platform/LoginItem.h"
#include "platform/QuitOnSignals.h"
#include "platform/X11Dock.h"
#include "settings/Localization.h"
#include "systemclock/SystemClock.h"
#include "ui/Notice.h"
#include "updates/UpdateAlerts.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace {

// Long enough for the window system to show the first frame of the bar or the window.
constexpr auto afterFirstPaint = std::chrono::milliseconds(500);

// Shown as it stands, in every language: the question was written once, in French.
const char* const onboardingQuestion =
    "Où veux-tu que l'app vive ?\n\n"
    "Dans le Dock : une app classique avec sa fenêtre.\n"
    "Dans la barre de menus : la date du jour en haut de l'écran, un clic dessus ouvre le "
    "calendrier.\n\n"
    "Tu pourras changer d'avis à tout moment dans la fenêtre de l'app.";

AppDelegate::Home askWithAlert() {
    QMessageBox alert;
    alert.setWindowTitle("Vesperin");
    alert.setText(L("cal.bienvenue_dans_vesperin"));
    alert.setInformativeText(QString::fromUtf8(onboardingQuestion));
    alert.addButton(L("onboarding.dock_button"), QMessageBox::AcceptRole);
    QPushButton* menuBar = alert.addButton(L("onboarding.menubar_button"), QMessageBox::AcceptRole);
    alert.exec();
    return alert.clickedButton() == menuBar ? AppDelegate::Home::menuBar : AppDelegate::Home::dock;
}

} // namespace

AppDelegate::AppDelegate(ApplicationContext& context, QObject* parent)
    : QObject(parent), askWhereToLive(askWithAlert), m_context(context) {
    m_syncTimer.setInterval(std::chrono::hours(1));
    connect(&m_syncTimer, &QTimer::timeout, this, &AppDelegate::syncWithServer);
    connect(&m_context.statusItems, &StatusItemController::primaryClicked, &m_context.panel,
            &CalPanelController::toggle);
    connect(&m_context.statusItems, &StatusItemController::scrolled, &m_context.panel,
            &CalPanelController::scroll);
    connect(&m_context.settings, &Settings::menuBarModeChanged, this, &AppDelegate::followHome);
    connect(&m_context.settings, &Settings::showInMenuBarChanged, this, &AppDelegate::followHome);
    connect(&m_context.statusHost, &StatusHostChoice::placedChanged, this,
            &AppDelegate::statusItemsPlacedChanged);
    wireStatusMenu();
    // No parent: in menu-bar mode the main window is hidden.
    UpdateAlerts::showResults(m_context.updater);
    qApp->installEventFilter(this);
}

AppDelegate::~AppDelegate() = default;

// QCoreApplication::quit() sends Quit to the application, which then closes every window
// before the event loop ends; the filter sees it first.
bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::Quit)
        m_quitEventSeen = true;
    return QObject::eventFilter(watched, event);
}

bool AppDelegate::isQuitting() const {
    return m_quitEventSeen || QuitOnSignals::received();
}

void AppDelegate::applyInitialActivationPolicy() {
    // Without a window yet there is nothing to take off the taskbar; what matters is that
    // closing every window never ends the process: the status items stay.
    QApplication::setQuitOnLastWindowClosed(false);
}

// The status items come first, so that in the menu bar nothing delays the bar; crashes are
// captured from the start, and what can wait (the crashes of earlier runs, the service)
// starts once the first paint is done. In the menu bar the main window is built only when
// it is first asked for: most sessions never open it.
void AppDelegate::finishLaunching() {
    CrashReporter::installHandlers();
    applyStatusItemState();
    m_context.systemClock.reconcileAtLaunch();
    if (!m_context.settings.menuBarMode())
        bringMainWindowToFront();
    showOnboardingIfNeeded();
    if (isQuitting())
        return; // ended while the first-launch question was open: start nothing more
    QTimer::singleShot(afterFirstPaint, this, [this] {
        CrashReporter::sendEarlierCrashes(m_context.settings, m_context.launcher);
        syncWithServer();
        m_syncTimer.start();
    });
    applyEnvironmentSwitches();
}

// One exchange with the support service; the answer is applied on the GUI thread by the
// client itself.
void AppDelegate::syncWithServer() {
    m_context.service.checkWithServer([support = QPointer(&m_context.support)] {
        if (support)
            support->syncFinished();
    });
}

// Switches for looking at one part of the application at once: each is on only when its
// variable is exactly "1".
void AppDelegate::applyEnvironmentSwitches() {
    if (qEnvironmentVariable("ORVENNA_DEBUG_MENUBAR") == "1")
        openMenuBarConfigurator();
    if (qEnvironmentVariable("ORVENNA_DEBUG_SETTINGS") == "1")
        showSettings();
    if (qEnvironmentVariable("ORVENNA_DEBUG_PANEL") == "1") {
        m_context.settings.setShowInMenuBar(true);
        applyStatusItemState();
        QTimer::singleShot(600, this,
                           [this] { m_context.panel.show(m_context.statusItems.anchor()); });
    }
}

MainWindow& AppDelegate::builtMainWindow() {
    if (!m_mainWindow)
        buildMainWindow();
    return *m_mainWindow;
}

void AppDelegate::buildMainWindow() {
    m_mainWindow = std::make_unique<MainWindow>(m_context.settings, m_context.clock);
    connect(m_mainWindow.get(), &MainWindow::closing, this, &AppDelegate::mainWindowClosing);
    const Menus::MainMenuRows rows = Menus::installMainMenu(*m_mainWindow);
    Menus::onTriggered(rows.messages, this, [this] { m_context.support.showMessages(); });
    Menus::onTriggered(rows.checkForUpdates, this, [this] { m_context.updater.checkForUpdates(); });
    Menus::onTriggered(rows.reportProblem, this, [this] { m_context.support.reportProblem(); });
    Menus::onTriggered(rows.quit, this, &QCoreApplication::quit);
    Menus::onTriggered(rows.close, this, [this] { closeOrBack(); });
    wireMainWindow();
    MainView* main = m_mainWindow->mainView();
    main->setStatusItemsPlaced(m_context.statusHost.itemsPlaced());
    m_context.support.setMarkers(main->messagesButton(), main->messagesBadge(), rows.messages);
    m_context.support.setMainWindow(m_mainWindow.get());
    setTaskbarPresence(runsAsWindow());
}

// The views act on the settings themselves; what changes the application goes through here.
// The settings' signals keep the views current, whoever changed them.
void AppDelegate::wireMainWindow() {
    MainView* main = m_mainWindow->mainView();
    SettingsView* settings = m_mainWindow->settingsView();
    connect(main, &MainView::calButtonClicked, this, &AppDelegate::calButtonClicked);
    connect(main, &MainView::dayDoubleClicked, this, [this](const QDateTime& day) {
        if (!CalEngine::openInCalendarApp(day, m_context.dayOpener))
            Notice::show(L("cal.no_calendar_app"), m_mainWindow.get());
    });
    connect(main, &MainView::settingsRequested, this, &AppDelegate::showSettings);
    connect(main, &MainView::messagesRequested, &m_context.support,
            &SupportController::showMessages);
    connect(settings, &SettingsView::menuBarModeToggled, this, &AppDelegate::toggleMenuBarMode);
    settings->setCompactClockAvailable(m_context.compactClock.isAvailable());
    connect(&m_context.compactClock, &CompactClockAvailability::availabilityChanged, settings,
            &SettingsView::setCompactClockAvailable);
    connect(settings, &SettingsView::compactClockToggled, this,
            [this](bool on) { m_context.systemClock.setCompact(on); });
    // On failure the box shows what really is; the log line is written by the login item.
    connect(settings, &SettingsView::loginItemToggled, this, [settings](bool on) {
        if (!LoginItem::setEnabled(on))
            settings->setLoginItemEnabled(LoginItem::isEnabled());
    });

    Settings& values = m_context.settings;
    for (auto signal : {&Settings::menuBarModeChanged, &Settings::showInMenuBarChanged})
        connect(&values, signal, this, &AppDelegate::refreshCalUI);
    connect(&m_context.events, &SystemEvents::dayChanged, main, &MainView::refreshMonthPreview);

    connect(settings, &SettingsView::checkForUpdatesRequested, &m_context.updater,
            &Updater::checkForUpdates);
    connect(settings, &SettingsView::editorRequested, this, &AppDelegate::openMenuBarConfigurator);
    connect(settings, &SettingsView::reportProblemRequested, &m_context.support,
            &SupportController::reportProblem);
}

void AppDelegate::refreshCalUI() {
    if (m_mainWindow)
        m_mainWindow->mainView()->refreshCalUI();
}

void AppDelegate::wireStatusMenu() {
    StatusMenu& menu = m_context.statusMenu;
    connect(&menu, &QMenu::aboutToShow, this, [this] {
        m_context.compactClock.check(); // its answer shows in the open menu
        refreshStatusMenu();
    });
    connect(&m_context.compactClock, &CompactClockAvailability::availabilityChanged, this,
            &AppDelegate::refreshStatusMenu);
    connect(&menu, &StatusMenu::panelRequested, this, &AppDelegate::openPanel);
    connect(&menu, &StatusMenu::todayRequested, this, &AppDelegate::openToday);
    connect(&menu, &StatusMenu::messagesRequested, &m_context.support,
            &SupportController::showMessages);
    connect(&menu, &StatusMenu::mainWindowRequested, this, &AppDelegate::showMainWindow);
    connect(&menu, &StatusMenu::editorRequested, this, &AppDelegate::openMenuBarConfigurator);
    connect(&menu, &StatusMenu::compactClockToggled, this,
            &AppDelegate::toggleCompactSystemClockMenu);
    connect(&menu, &StatusMenu::updateCheckRequested, &m_context.updater,
            &Updater::checkForUpdates);
    connect(&menu, &StatusMenu::problemReportRequested, &m_context.support,
            &SupportController::reportProblem);
    connect(&menu, &StatusMenu::quitRequested, qApp, &QCoreApplication::quit);
}

void AppDelegate::refreshStatusMenu() {
    m_context.statusMenu.setState({m_context.service.pendingMessage().has_value(),
                                   m_context.compactClock.isAvailable(),
                                   m_context.settings.compactSystemClock()});
}

void AppDelegate::showSettings() {
    MainWindow& window = builtMainWindow();
    SettingsView* view = window.settingsView();
    m_context.compactClock.check();
    view->setLoginItemEnabled(LoginItem::isEnabled());
    window.showSettings();
    bringMainWindowToFront(); // from the debug switch, in the menu bar, it was not on screen
}

// In Dock mode the button puts the status items into the bar or takes them away; in menu-bar
// mode it opens the editor.
void AppDelegate::calButtonClicked() {
    if (m_context.settings.menuBarMode()) {
        openMenuBarConfigurator();
        return;
    }
    m_context.settings.setShowInMenuBar(!m_context.settings.showInMenuBar());
}

void AppDelegate::openMenuBarConfigurator() {
    m_context.configurator.show();
}

void AppDelegate::reopen() {
    if (m_context.settings.menuBarMode() && m_context.statusHost.itemsPlaced()) {
        if (!m_context.panel.isVisible())
            openPanel();
        return;
    }
    showMainWindow(); // also when it is minimised or covered
}

void AppDelegate::handle(const OpenRequest& request) {
    const QPoint at = request.at.value_or(QCursor::pos());
    switch (request.what) {
    case OpenRequest::What::reopen:
        reopen();
        break;
    case OpenRequest::What::panel:
        m_context.panel.toggle(ScreenAnchor(at));
        break;
    case OpenRequest::What::menu:
        m_context.statusMenu.popup(at);
        break;
    case OpenRequest::What::editor:
        openMenuBarConfigurator();
        break;
    case OpenRequest::What::settings:
        showSettings();
        break;
    case OpenRequest::What::scroll:
        m_context.panel.scroll(request.steps);
        break;
    }
}

void AppDelegate::openPanel() {
    m_context.panel.show(m_context.statusItems.anchor());
}

void AppDelegate::openToday() {
    if (!CalEngine::openInCalendarApp(m_context.events.now(), m_context.dayOpener))
        Notice::show(L("cal.no_calendar_app"));
}

void AppDelegate::toggleCompactSystemClockMenu() {
    m_context.systemClock.setCompact(!m_context.systemClock.isCompact());
}

void AppDelegate::closeOrBack() {
    if (!m_mainWindow)
        return;
    if (m_mainWindow->showsSettings())
        m_mainWindow->showMain();
    else
        m_mainWindow->close();
}

bool AppDelegate::statusItemsWanted() const {
    return m_context.settings.showInMenuBar() || m_context.settings.menuBarMode();
}

void AppDelegate::applyStatusItemState() {
    if (statusItemsWanted()) {
        m_context.statusItems.enable();
        return;
    }
    m_context.panel.close();
    m_context.statusItems.disable();
}

void AppDelegate::followHome() {
    qCDebug(lcApp) << "Display mode:" << (m_context.settings.menuBarMode() ? "menu bar" : "Dock")
                   << "status items:" << statusItemsWanted();
    if (statusItemsWanted() != m_context.statusItems.isEnabled())
        applyStatusItemState();
    // From the event loop: changing the type of a window shows it, which must never happen
    // in the middle of its close.
    QTimer::singleShot(0, this, [this] {
        const bool dock = !m_context.settings.menuBarMode();
        setTaskbarPresence(runsAsWindow());
        // In Dock mode the window is the application: switched there from outside, without
        // status items, it would otherwise run with nothing on screen.
        if (dock && !statusItemsWanted() && !(m_mainWindow && m_mainWindow->isVisible()))
            bringMainWindowToFront();
    });
}

void AppDelegate::applyDisplayMode() {
    followHome();
    QTimer::singleShot(0, this, &AppDelegate::bringMainWindowToFront);
}

void AppDelegate::toggleMenuBarMode(bool on) {
    m_context.settings.setMenuBarMode(on);
    applyDisplayMode();
}

void AppDelegate::showOnboardingIfNeeded() {
    Settings& settings = m_context.settings;
    if (settings.onboarded())
        return;
    // Stored before asking, so the question is never asked twice, even if the process ends
    // while the alert is open.
    settings.setOnboarded(true);
    const bool menuBar = askWhereToLive() == Home::menuBar;
    if (isQuitting())
        return; // the alert was ended, not answered
    settings.setMenuBarMode(menuBar);
    if (menuBar)
        settings.setShowInMenuBar(true);
    applyDisplayMode();
}

void AppDelegate::showMainWindow() {
    bringMainWindowToFront();
}

// The close must stick: the window comes back only when the user asks for it.
void AppDelegate::mainWindowClosing() {
    if (isQuitting() || m_context.settings.menuBarMode())
        return;
    m_context.settings.setMenuBarMode(true); // followHome() moves the application into the bar
}

// Where no panel shows the status items, the application runs as in Dock mode, whatever the
// setting says: in the menu bar it would otherwise have nothing on screen. The reason is said
// once a run, since a panel may come and go.
void AppDelegate::statusItemsPlacedChanged(bool placed) {
    if (m_mainWindow)
        m_mainWindow->mainView()->setStatusItemsPlaced(placed);
    setTaskbarPresence(runsAsWindow());
    if (placed || !statusItemsWanted() || isQuitting())
        return;
    bringMainWindowToFront();
    if (!std::exchange(m_noPanelSaid, true))
        Notice::show(L("menubar.no_panel"), m_mainWindow.get());
}

bool AppDelegate::runsAsWindow() const {
    return !m_context.settings.menuBarMode() || !m_context.statusHost.itemsPlaced();
}

// Dock mode gives the main window a taskbar entry; menu-bar mode takes it away, as a tool
// window has none.
void AppDelegate::setTaskbarPresence(bool present) {
    if (!m_mainWindow)
        return;
    const Qt::WindowType type = present ? Qt::Window : Qt::Tool;
    if (m_mainWindow->windowType() == type)
        return;
    const bool visible = m_mainWindow->isVisible();
    const Qt::WindowFlags others = m_mainWindow->windowFlags() & ~Qt::WindowType_Mask;
    m_mainWindow->setWindowFlags(others | type);
    if (visible)
        m_mainWindow->show();
}

void AppDelegate::bringMainWindowToFront() {
    MainWindow& window = builtMainWindow();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    // A program in the background may not take the focus by itself; the window manager
    // gives it when asked on the user's behalf.
    X11Dock::activate(window.windowHandle());
    m_context.support.refreshMessageBadges();
}
