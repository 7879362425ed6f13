#pragma once

#include <QObject>

class Preferences;
class StatusBar;

// Keeps the bar's memory of where the user dragged named items across runs, in a
// preferences domain of its own ("com.orvennalabs.vesperin.statusbar", key "ItemOrder"),
// apart from the application's settings as the system's memory of status items would be.
class StatusBarPositions : public QObject {
    Q_OBJECT
public:
    static constexpr const char* domainName = "com.orvennalabs.vesperin.statusbar";
    static constexpr const char* orderKey = "ItemOrder";

    // Gives the bar the stored order, then stores every order the bar announces.
    StatusBarPositions(StatusBar& bar, Preferences& store, QObject* parent = nullptr);
};
