#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class Settings;
class StatusHost;
class TrayHost;

// Where the status items live: "auto" (the desktop's panel while it has a StatusNotifierWatcher
// on the session bus, else the application's own bar where it can dock), "own" or "tray".
enum class StatusHostMode { automatic, own, tray };

// Absent for any text other than "auto", "own" and "tray".
std::optional<StatusHostMode> statusHostModeFromText(const QString& text);

// Chooses the host of the status items and follows what changes the choice while the
// application runs: the preference "VSPStatusHost" (unless the command line forced a mode) and,
// in automatic mode, the panel's watcher appearing or going. A watcher that goes is given a
// moment to come back before the items move to the own bar, so that a panel restarting does
// not make a bar flash across the top of the screen and every maximised window jump.
// Where the own bar cannot dock, the items wait in the panel's host for a watcher; that they
// have no place is announced once the same moment has passed.
class StatusHostChoice : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultWatcherGraceMs = 3000;

    StatusHostChoice(const Settings& settings, std::optional<StatusHostMode> forced,
                     bool ownBarDocks, StatusHost& own, TrayHost& tray, QObject* parent = nullptr);

    StatusHostMode mode() const;
    StatusHost& current() const { return *m_current; }
    // False once the items have been in the panel's host with no panel showing them for the
    // grace period: what placedChanged last announced, so that every reader agrees with it.
    bool itemsPlaced() const { return m_placed; }
    // How long a watcher that went may take to come back.
    void setWatcherGraceMs(int milliseconds) { m_grace.setInterval(milliseconds); }

Q_SIGNALS:
    void changed(StatusHost& host);
    void placedChanged(bool placed);

private:
    StatusHost& wanted() const;
    void update();
    void watcherChanged(bool present);
    bool placedNow() const;
    void notePlacement();

    const Settings& m_settings;
    std::optional<StatusHostMode> m_forced;
    bool m_ownBarDocks;
    bool m_placed = true;
    StatusHost& m_own;
    TrayHost& m_tray;
    StatusHost* m_current;
    QTimer m_grace;
};
