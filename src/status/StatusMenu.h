#pragma once

#include <QMenu>

class QAction;

// The status menu: a right click on a status item opens it, and the desktop's panel shows it
// as its own. One menu for the life of the application, handed to both hosts; its rows are
// made once. Whoever owns the state it shows brings it up to date on aboutToShow(), which the
// own bar's popup and the panel's exporter both emit before showing it. A menu made for one
// showing and deleted as it hid was freed under Qt's feet when a row opened a dialog; one that
// lives as long as the application cannot be. Each row's signal is emitted from the event
// loop once the menu has closed, so a dialog never runs inside the menu's own event handler.
class StatusMenu : public QMenu {
    Q_OBJECT
public:
    // What the menu shows besides its fixed rows.
    struct State {
        bool messagePending = false;
        bool compactClockAvailable = false;
        bool compactClock = false;
    };

    explicit StatusMenu(QWidget* parent = nullptr);

    void setState(const State& state);

Q_SIGNALS:
    void panelRequested();
    void todayRequested();
    void messagesRequested();
    void mainWindowRequested();
    void editorRequested();
    void compactClockToggled();
    void updateCheckRequested();
    void problemReportRequested();
    void quitRequested();

private:
    QAction* addRow(const char* titleKey, void (StatusMenu::*signal)());

    QAction* m_messages = nullptr;
    QAction* m_compactClock = nullptr;
};
