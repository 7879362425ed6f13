#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class Settings;
class StatusHost;
class TrayHost;

// Where the status items live: "auto" (the desktop's panel while it has a StatusNotifierWatcher
// on the session bus, else the application's own bar), "own" or "tray".
enum class StatusHostMode { automatic, own, tray };

// Absent for any text other than "auto", "own" and "tray".
std::optional<StatusHostMode> statusHostModeFromText(const QString& text);

// Chooses the host of the status items and follows what changes the choice while the
// application runs: the preference "VSPStatusHost" (unless the command line forced a mode) and,
// in automatic mode, the panel's watcher appearing or going. A watcher that goes is given a
// moment to come back before the items move to the own bar, so that a panel restarting does
// not make a bar flash across the top of the screen and every maximised window jump.
class StatusHostChoice : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultWatcherGraceMs = 3000;

    StatusHostChoice(const Settings& settings, std::optional<StatusHostMode> forced,
                     StatusHost& own, TrayHost& tray, QObject* parent = nullptr);

    StatusHostMode mode() const;
    StatusHost& current() const { return *m_current; }
    // How long a watcher that went may take to come back.
    void setWatcherGraceMs(int milliseconds) { m_grace.setInterval(milliseconds); }

Q_SIGNALS:
    void changed(StatusHost& host);

private:
    StatusHost& wanted() const;
    void update();
    void watcherChanged(bool present);

    const Settings& m_settings;
    std::optional<StatusHostMode> m_forced;
    StatusHost& m_own;
    TrayHost& m_tray;
    StatusHost* m_current;
    QTimer m_grace;
};
