#pragma once

#include "platform/OpenRequest.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class ApplicationContext;
class MainWindow;
class QMenu;

// The application's shell: runs the launch sequence, wires the long-lived objects of the
// context to each other and owns the two display modes. In menu-bar mode the application lives
// in the status bar only (no taskbar entry, the process runs without windows); in Dock mode it
// is an ordinary windowed application whose status items show only when the user asked for
// them. The mode follows the settings, also when another process changes them.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    enum class Home { dock, menuBar };

    explicit AppDelegate(ApplicationContext& context, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Before the event loop: the taskbar presence for the stored mode.
    void applyInitialActivationPolicy();
    void finishLaunching();

    // Creates (or rebuilds) the status items, or removes them, as the settings say.
    void applyStatusItemState();
    // The status items and the taskbar entry for the stored mode, then the main window in
    // front.
    void applyDisplayMode();
    void toggleMenuBarMode(bool on);
    void showOnboardingIfNeeded();
    void syncWithServer();
    // The application was started again (the desktop's click on it): in Dock mode the main
    // window comes forward, in menu-bar mode the calendar panel opens.
    void reopen();
    // What a later start asks for (`vesperin --open=...`, the plain start's reopen). A panel or
    // menu asked for without a position opens under the pointer.
    void handle(const OpenRequest& request);

    // The actions of the menus and the main window's views.
    void showMainWindow();
    void showSettings();
    void calButtonClicked();
    void openPanel();
    void openToday();
    void toggleCompactSystemClockMenu();
    void openMenuBarConfigurator();
    // File > Close (Ctrl+W): back from the settings to the main view, else close the window.
    void closeOrBack();

    const QTimer& syncTimer() const { return m_syncTimer; }
    // Null in the menu bar until the window is first asked for.
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
    bool statusItemsWanted() const;
    // In Dock mode, or in the menu bar while no panel shows the items: the main window is
    // the application, with a taskbar entry.
    bool runsAsWindow() const;
    // Brings the status items and the taskbar entry in line with the settings, changing
    // nothing that already is.
    void followHome();
    // The main window is closing: in Dock mode that moves the application into the bar,
    // unless the application is quitting.
    void mainWindowClosing();
    // No panel shows the status items: the window stands in for them.
    void statusItemsPlacedChanged(bool placed);
    MainWindow& builtMainWindow();
    void buildMainWindow();
    void wireMainWindow();
    void wireStatusMenu();
    // Brings the status menu up to the state of this moment.
    void refreshStatusMenu();
    void refreshCalUI();
    void setTaskbarPresence(bool present);
    void bringMainWindowToFront();

    void applyEnvironmentSwitches();

    ApplicationContext& m_context;
    QTimer m_syncTimer;
    std::unique_ptr<MainWindow> m_mainWindow;
    bool m_quitEventSeen = false;
    bool m_noPanelSaid = false;
};
