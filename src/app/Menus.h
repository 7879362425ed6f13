#pragma once

#include <QAction>
#include <QObject>

class QKeySequence;
class QMainWindow;
class QMenu;

// The main window's menu bar (application, File and Edit); the status menu is StatusMenu.
namespace Menus {

// The rows whose actions the shell connects (with onTriggered).
struct MainMenuRows {
    QAction* messages = nullptr;
    QAction* checkForUpdates = nullptr;
    QAction* reportProblem = nullptr;
    QAction* quit = nullptr;
    QAction* close = nullptr;
};

// Puts the application, File and Edit menus into the window's menu bar. Their shortcuts (Ctrl
// stands for the Command key of the design: Ctrl+Q, Ctrl+W, Ctrl+Z ...) work while the window
// is active, whether or not its menu bar shows. The Edit rows act on the focused text field
// and are enabled when it can do what they say. The messages row heads the application menu,
// hidden: the unread markers show it while the support ticket is open.
MainMenuRows installMainMenu(QMainWindow& window);

// Runs `action` when the row is chosen, from the event loop once the row's trigger has
// returned: a menu closes and finishes its own event handling first, so an action may open a
// dialog with a loop of its own, or delete the menu, safely.
template <typename Action> void onTriggered(QAction* row, QObject* context, Action action) {
    QObject::connect(row, &QAction::triggered, context, std::move(action), Qt::QueuedConnection);
}

} // namespace Menus
