#include "app/AppDelegate.h"

#include "app/MainWindow.h"
#include "platform/QuitOnSignals.h"
#include "platform/StatusBar.h"
#include "platform/StatusBarButton.h"
#include "service/ServiceClient.h"
#include "settings/CalSettings.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "system/CrashReporter.h"
#include "system/SystemClock.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

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

AppDelegate::AppDelegate(StatusBar& bar, QObject* parent)
    : QObject(parent), askWhereToLive(askWithAlert), m_statusController(&bar) {
    m_syncTimer.setInterval(std::chrono::hours(1));
    connect(&m_syncTimer, &QTimer::timeout, this, &AppDelegate::syncWithServer);
    qApp->installEventFilter(this);
}

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

AppDelegate::~AppDelegate() = default;

bool AppDelegate::isMenuBarMode() {
    return Preferences::standard().boolForKey(PreferenceKeys::menuBarMode);
}

void AppDelegate::applyInitialActivationPolicy() {
    // Without a window yet there is nothing to take off the taskbar; what matters is that
    // closing every window never ends the process: the status items stay.
    QApplication::setQuitOnLastWindowClosed(false);
}

void AppDelegate::applicationDidFinishLaunching() {
    CrashReporter::install();
    buildMainWindow();
    m_statusController.onPrimaryClick = [guard = QPointer(this)](StatusBarButton* button) {
        if (guard)
            guard->m_panelController.toggle(button);
    };
    SystemClock::reconcileAtLaunch();
    applyStatusItemState();
    if (!isMenuBarMode())
        bringMainWindowToFront();
    showOnboardingIfNeeded();
    if (isQuitting())
        return; // ended while the first-launch question was open: start nothing more
    syncWithServer();
    m_syncTimer.start();
    applyEnvironmentSwitches();
}

// One exchange with the support service; the answer is applied on the GUI thread by the
// client itself.
void AppDelegate::syncWithServer() {
    ServiceClient::shared().checkWithServer();
}

// Switches for looking at one part of the application at once: each is on only when its
// variable is exactly "1".
void AppDelegate::applyEnvironmentSwitches() {
    if (qEnvironmentVariable("ORVENNA_DEBUG_PANEL") == "1") {
        CalSettings::setShowInMenuBar(true);
        applyStatusItemState();
        QTimer::singleShot(600, this,
                           [this] { m_panelController.show(m_statusController.button()); });
    }
}

void AppDelegate::buildMainWindow() {
    m_mainWindow = std::make_unique<MainWindow>();
    m_mainWindow->onClose = [this] { mainWindowWillClose(); };
    setTaskbarPresence(!isMenuBarMode());
}

void AppDelegate::applyStatusItemState() {
    if (CalSettings::showInMenuBar() || isMenuBarMode()) {
        m_statusController.enable();
        return;
    }
    m_panelController.close();
    m_statusController.disable();
}

void AppDelegate::applyDisplayMode() {
    applyHome();
    QTimer::singleShot(0, this, &AppDelegate::bringMainWindowToFront);
}

// The status items and the taskbar entry for the stored mode; the window stays where it is.
void AppDelegate::applyHome() {
    applyStatusItemState();
    setTaskbarPresence(!isMenuBarMode());
}

void AppDelegate::toggleMenuBarMode(bool on) {
    Preferences::standard().setBool(PreferenceKeys::menuBarMode, on);
    applyDisplayMode();
}

void AppDelegate::showOnboardingIfNeeded() {
    Preferences& store = Preferences::standard();
    if (store.boolForKey(PreferenceKeys::onboarded))
        return;
    // Stored before asking, so the question is never asked twice, even if the process ends
    // while the alert is open.
    store.setBool(PreferenceKeys::onboarded, true);
    const bool menuBar = askWhereToLive() == Home::menuBar;
    if (isQuitting())
        return; // the alert was ended, not answered
    store.setBool(PreferenceKeys::menuBarMode, menuBar);
    if (menuBar)
        CalSettings::setShowInMenuBar(true);
    applyDisplayMode();
}

void AppDelegate::showMainWindow() {
    bringMainWindowToFront();
}

// The close must stick: the window comes back only when the user asks for it. Its taskbar
// entry goes once it is hidden, since changing a visible window's type shows it again.
void AppDelegate::mainWindowWillClose() {
    if (isQuitting() || isMenuBarMode())
        return;
    Preferences::standard().setBool(PreferenceKeys::menuBarMode, true);
    applyStatusItemState();
    QTimer::singleShot(0, this, &AppDelegate::applyHome);
}

// Dock mode gives the main window a taskbar entry; menu-bar mode takes it away, as a tool
// window has none.
void AppDelegate::setTaskbarPresence(bool present) {
    if (!m_mainWindow)
        return;
    const bool visible = m_mainWindow->isVisible();
    const Qt::WindowFlags others = m_mainWindow->windowFlags() & ~Qt::WindowType_Mask;
    m_mainWindow->setWindowFlags(others | (present ? Qt::Window : Qt::Tool));
    if (visible)
        m_mainWindow->show();
}

void AppDelegate::bringMainWindowToFront() {
    if (!m_mainWindow)
        return;
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}
