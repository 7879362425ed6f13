#pragma once

#include "settings/CalSettings.h"
#include "status/StatusHost.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QList>
#include <QPoint>

#include <optional>
#include <utility>

class Settings;
class StatusNotifierItem;
class SystemEvents;
class TrayHost;

// One status item in the desktop's panel: a StatusNotifierItem whose label is the text (with
// the widest text the item's templates can make as its guide), whose title and tool tip are
// the text too (the application's name for the calendar symbol), and whose icon is the
// calendar page of the icon format for the panels that show no text.
class TrayItem : public StatusHostItem {
    Q_OBJECT
public:
    enum class Registration { pending, asking, registered, refused };

    TrayItem(TrayHost& host, const QString& name);

    StatusNotifierItem* notifier() const { return m_notifier; }
    Registration registration = Registration::pending;

    void setSource(const std::optional<MenuBarItem>& source) override;
    void showText(const QString& text) override;
    // At the point where the panel was last clicked: it tells no more of where the item is.
    ScreenAnchor anchor() const override;
    void popUpMenu(QMenu* menu) override;
    void refreshIcon();

private:
    void clickedAt(const QPoint& point);

    TrayHost& m_host;
    StatusNotifierItem* m_notifier;
    std::optional<MenuBarItem> m_source;
    QString m_guide;
    std::optional<QPoint> m_lastPoint;
};

// The desktop's panel as a host, through the StatusNotifierWatcher of the session bus. Items
// are registered with the watcher one after the other in layout order, each told its place
// (XAyatanaOrderingIndex); a watcher that appears (again: the panel crashed or was replaced)
// gets every item registered afresh.
class TrayHost : public StatusHost {
    Q_OBJECT
public:
    // The icon's sizes: the panel's usual 22 pixels, and twice that for scaled screens.
    static constexpr int iconSizes[] = {22, 44};

    // `busAddress` empty: the session bus.
    TrayHost(const Settings& settings, SystemEvents& events, const QString& busAddress,
             QObject* parent = nullptr);
    ~TrayHost() override;

    bool watcherPresent() const { return m_watcherPresent; }
    // Left to right.
    const QList<TrayItem*>& items() const { return m_items; }

    StatusHostItem* addItem(const QString& name) override;
    void removeItem(StatusHostItem* item) override;
    void setMenuProvider(std::function<QMenu*()> provider) override;

    // For the items.
    QString busAddress() const { return m_busAddress; }
    QMenu* statusMenu() const;
    // The icon for today and the icon format, one image per size.
    const QList<QImage>& icon();
    int year() const;

Q_SIGNALS:
    void watcherChanged(bool present);

private:
    void watcherOwnerChanged(const QString& newOwner);
    void schedulePublish();
    void publish();
    void registerNext();

    const Settings& m_settings;
    SystemEvents& m_events;
    QString m_busAddress;
    QString m_connectionName;
    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
    bool m_watcherPresent = false;
    // Counts the watcher's appearances: an answer from an earlier one no longer counts.
    int m_watcherGeneration = 0;
    QList<TrayItem*> m_items;
    bool m_publishScheduled = false;
    std::function<QMenu*()> m_menuProvider;
    std::optional<std::pair<CalIconFormat, int>> m_iconKey;
    QList<QImage> m_icon;
};
