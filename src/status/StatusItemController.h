#pragma once

#include "model/MenuBarItem.h"
#include "model/RefreshTimer.h"
#include "platform/ScreenAnchor.h"

#include <QList>
#include <QObject>

#include <optional>

class MenuBarLayout;
class StatusHost;
class StatusHostItem;
class SystemEvents;

// Puts the application's status items where its host shows them (the own bar or the
// desktop's panel): one status item per enabled menu-bar item, or a single calendar icon when
// none is enabled. Keeps their texts current with a timer aligned to the next whole second or
// minute and with the system's day, zone, clock and locale changes, and routes what the user
// does: a primary click to primaryClicked, a wheel to scrolled (the hosts show the status menu
// themselves). The host can change while the items show (a panel that appears
// or goes): they move over at once.
//
// Time is read from `events`, so the texts, the refresh timer and the system's change signals
// all agree on "now" (tests give it a clock of their own).
class StatusItemController : public QObject {
    Q_OBJECT
public:
    struct Entry {
        MenuBarItem item;
        StatusHostItem* status = nullptr;
    };

    // Shows the enabled items of `layout`.
    StatusItemController(StatusHost& host, const MenuBarLayout& layout, SystemEvents& events,
                         QObject* parent = nullptr);
    ~StatusItemController() override;

    bool isEnabled() const;
    // Where a panel opened without a click goes: the first entry's, else the fallback's;
    // nothing when disabled.
    ScreenAnchor anchor() const;

    void enable();
    void disable();
    void refreshTitle();
    // Moves the status items to `host`, if they show.
    void setHost(StatusHost& host);
    StatusHost& host() const { return *m_host; }

    const QList<Entry>& entries() const { return m_entries; }
    StatusHostItem* fallback() const { return m_fallback; }
    // The refresh interval in seconds, absent when no item shows a time of day.
    std::optional<int> timerInterval() const { return m_refresh.interval(); }

Q_SIGNALS:
    // A primary click (with or without modifier keys) on a status item.
    void primaryClicked(const ScreenAnchor& anchor);
    // A wheel turned over a status item: positive away from the user.
    void scrolled(int delta);

private:
    void rebuild();
    void rebuildIfNeeded();
    void removeAll();
    StatusHostItem* addItem(const QString& name, const std::optional<MenuBarItem>& source);

    StatusHost* m_host;
    const MenuBarLayout& m_layout;
    SystemEvents& m_events;
    QList<Entry> m_entries;
    StatusHostItem* m_fallback = nullptr;
    QList<QMetaObject::Connection> m_observers;
    RefreshTimer m_refresh;
};
