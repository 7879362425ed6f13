#pragma once

#include <functional>

class QAction;
class QKeySequence;
class QMainWindow;
class QMenu;

// What the rows of the application's menus do: the status menu (StatusMenu) and the menu bar
// of the main window (application, File and Edit). The shell says what each row does; a row
// whose action the application does not offer yet is shown disabled.
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

// Adds a row titled by the string `titleKey`. Its action runs from the event loop once the
// row's trigger has returned: a menu closes and finishes its own event handling first, so an
// action may open a dialog with a loop of its own, or delete the menu, safely.
QAction* addRow(QMenu* menu, const char* titleKey, const std::function<void()>& action,
                const QKeySequence& shortcut);
QAction* addRow(QMenu* menu, const char* titleKey, const std::function<void()>& action);

// Puts the application, File and Edit menus into the window's menu bar. Their shortcuts (Ctrl
// stands for the Command key of the design: Ctrl+Q, Ctrl+W, Ctrl+Z ...) work while the window
// is active, whether or not its menu bar shows. The Edit rows act on the focused text field
// and are enabled when it can do what they say. Returns the application menu's messages row,
// hidden: the unread markers show it while the support ticket is open.
QAction* installMainMenu(QMainWindow& window, const Actions& actions);

} // namespace Menus
