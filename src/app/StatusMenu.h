#pragma once

#include "app/Menus.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QMenu;

// The status menu that a right click on a status item opens, and that the desktop's panel
// shows as its own: one menu for the life of the application, whose rows are made once and
// brought up to date each time it is about to show. Menus that were made for one showing and
// deleted as they hid were freed under Qt's feet when a row opened a dialog; one that lives as
// long as the application cannot be. Rows act from the event loop after the menu has closed
// (see Menus::addRow), so a dialog never runs inside the menu's own event handler.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    // What the menu depends on at the moment it opens.
    struct State {
        bool messagePending = false;
        bool compactClockAvailable = false;
        bool compactClock = false;
    };

    StatusMenu(const Menus::Actions& actions, std::function<State()> state,
               QObject* parent = nullptr);
    ~StatusMenu() override;

    // The menu with its rows showing the state of this moment.
    QMenu* refreshed();
    QMenu* menu() const { return m_menu.get(); }

private:
    void refresh();

    std::function<State()> m_state;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_messages = nullptr;
    QAction* m_compactClock = nullptr;
};
