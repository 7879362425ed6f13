#pragma once

#include "calendar/CalPanelController.h"
#include "editor/MenuBarConfigurator.h"
#include "model/MenuBarLayout.h"
#include "platform/ProcessLauncher.h"
#include "platform/SystemEvents.h"
#include "settings/PreferencesWatcher.h"
#include "settings/Settings.h"
#include "status/StatusHostChoice.h"
#include "status/StatusItemController.h"
#include "status/StatusMenu.h"
#include "status/ownbar/OwnBarHost.h"
#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarPositions.h"
#include "status/tray/TrayHost.h"
#include "support/ServiceClient.h"
#include "support/SupportController.h"
#include "systemclock/CompactClockAvailability.h"
#include "systemclock/SystemClock.h"
#include "updates/Updater.h"

class Preferences;

// The application's long-lived objects, made in the order in which they need each other and
// handed to each other through their constructors. main() makes the one of the process after
// the QApplication; tests make their own, with a clock and a process launcher of theirs.
// Each object stays where it is for the life of the context.
class ApplicationContext {
public:
    struct Options {
        SystemEvents::Sources time;
        ProcessLauncher* launcher = &ProcessLauncher::system();
        // Where the status items live when the command line says (--bar); else the
        // preference decides.
        std::optional<StatusHostMode> statusHost;
        // The bus whose panel watcher the status items may use; empty: the session bus.
        QString busAddress;
        // Whether the own bar can hold the top of the screen: not in a Wayland session,
        // where no compositor honours an X11 window's strut and Qt has no layer shell.
        bool ownBarDocks = true;
    };

    ApplicationContext();
    explicit ApplicationContext(Options options);
    ApplicationContext(const ApplicationContext&) = delete;
    ApplicationContext& operator=(const ApplicationContext&) = delete;

    ProcessLauncher& launcher;
    Preferences& store;
    PreferencesWatcher preferencesWatcher;
    Settings settings;
    // The stored menu-bar items and their padding, decoded once per change.
    MenuBarLayout layout;
    // Whether the compact system clock can be switched here, found out off the GUI thread.
    CompactClockAvailability compactClock;
    // Makes the system's own clock compact and gives it back.
    SystemClock systemClock;
    SystemEvents events;
    // The process's one "now", from the events' source: whatever clock a test gives the
    // context reaches every part that shows or stores a time.
    Clock clock;
    ServiceClient service;
    Updater updater;
    StatusBar bar;
    StatusBarPositions barPositions;
    // One status menu for the life of the application, shown by both hosts.
    StatusMenu statusMenu;
    OwnBarHost ownBar;
    TrayHost tray;
    StatusHostChoice statusHost;
    StatusItemController statusItems;
    // Opens a day in the user's calendar application; the panel and the main window use it.
    CalEngine::DayOpener dayOpener;
    CalPanelController panel;
    // The menu-bar editor; its window is built the first time it is shown.
    MenuBarConfigurator configurator;
    // The support channel's windows, alerts and unread markers, over the service.
    SupportController support;
};
