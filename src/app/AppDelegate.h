#pragma once

#include "calendar/CalPanelController.h"
#include "status/StatusItemController.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class MainWindow;
class StatusBar;

// The application's shell: creates the long-lived controllers, runs the launch sequence and
// owns the two display modes. In menu-bar mode the application lives in the status bar only
// (no taskbar entry, the process runs without windows); in Dock mode it is an ordinary
// windowed application whose status items show only when the user asked for them.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    enum class Home { dock, menuBar };

    explicit AppDelegate(StatusBar& bar, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Before the event loop: the taskbar presence for the stored mode.
    void applyInitialActivationPolicy();
    void applicationDidFinishLaunching();

    void applyStatusItemState();
    void applyDisplayMode();
    void toggleMenuBarMode(bool on);
    void showOnboardingIfNeeded();
    void showMainWindow();
    void syncWithServer();
    // The main window is closing: in Dock mode that moves the application into the bar,
    // unless the application is quitting.
    void mainWindowWillClose();

    static bool isMenuBarMode();

    StatusItemController& statusController() { return m_statusController; }
    CalPanelController& panelController() { return m_panelController; }
    const QTimer& syncTimer() const { return m_syncTimer; }
    MainWindow* mainWindow() const { return m_mainWindow.get(); }

    // Asks where the application should live; the default shows the welcome alert. Closing
    // the alert any other way than by its buttons answers Dock.
    std::function<Home()> askWhereToLive;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the application is on its way out (a Quit, or a signal that ends it): windows
    // closing then and alerts ending unanswered are no choice of the user's.
    bool isQuitting() const;
    void applyHome();
    void buildMainWindow();
    void setTaskbarPresence(bool present);
    void bringMainWindowToFront();

    void applyEnvironmentSwitches();

    StatusItemController m_statusController;
    QTimer m_syncTimer;
    CalPanelController m_panelController;
    std::unique_ptr<MainWindow> m_mainWindow;
    bool m_quitEventSeen = false;
};
