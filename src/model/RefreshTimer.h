#pragma once

#include "model/MenuBarItem.h"

#include <QObject>
#include <QTimer>

#include <optional>

class SystemEvents;

// Says when the texts of a list of menu-bar items are due again: 50 ms after each whole second
// or minute of wall-clock time that any of them shows (never for dates alone: the day change
// covers them), and at once, with the renderer's caches emptied, when the day, the zone, the
// wall clock or the locale changes. Both the status items and the status line refresh by it,
// so they agree to the millisecond. Time is read from `events`.
class RefreshTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int alignmentDelayMs = 50;

    explicit RefreshTimer(SystemEvents& events, QObject* parent = nullptr);

    // Follows `items` from now on; due() at once is the caller's to do.
    void start(const QList<MenuBarItem>& items);
    void stop();
    bool isActive() const { return m_active; }
    // The unit in seconds (1 or 60) the timer is aligned to; absent for dates alone.
    std::optional<int> interval() const { return m_interval; }

    // 50 ms after the next whole multiple of `intervalSeconds` since 1970, in milliseconds
    // since 1970.
    static qint64 nextFiring(qint64 nowMs, int intervalSeconds);

Q_SIGNALS:
    void due();

private:
    void arm();
    void systemChanged();

    SystemEvents& m_events;
    QTimer m_timer;
    std::optional<int> m_interval;
    bool m_active = false;
};
