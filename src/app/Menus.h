#pragma once

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

// The application's two menus: the status menu that a right click on a status item opens,
// built afresh for each opening, and the menu bar of the main window (application, File and
// Edit). The shell says what each row does; a row whose action the application does not offer
// yet is shown disabled.
namespace Menus {

struct Actions {
    std::function<void()> openPanel;
    std::function<void()> openToday;
    std::function<void()> showMessages;
    std::function<void()> showMainWindow;
    std::function<void()> openEditor;
    std::function<void()> toggleCompactClock;
    std::function<void()> checkForUpdates;
    std::function<void()> reportProblem;
    std::function<void()> closeOrBack;
    std::function<void()> quit;
};

// What the status menu depends on at the moment it opens.
struct StatusState {
    bool messagePending = false;
    bool compactClockAvailable = false;
    bool compactClock = false;
};

QMenu* statusMenu(const Actions& actions, const StatusState& state, QWidget* parent = nullptr);

// Puts the application, File and Edit menus into the window's menu bar. Their shortcuts (Ctrl
// stands for the Command key of the design: Ctrl+Q, Ctrl+W, Ctrl+Z ...) work while the window
// is active, whether or not its menu bar shows. The Edit rows act on the focused text field
// and are enabled when it can do what they say. Returns the application menu's messages row,
// hidden: the unread markers show it while the support ticket is open.
QAction* installMainMenu(QMainWindow& window, const Actions& actions);

} // namespace Menus
