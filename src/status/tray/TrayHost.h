#pragma once

#include "settings/Settings.h"
#include "status/StatusHost.h"
#include "status/tray/StatusNotifierItem.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QTimer>

#include <optional>
#include <utility>

class Settings;
class SystemEvents;
class TrayHost;

// One status item in the desktop's panel: a StatusNotifierItem whose label is the text (with
// the widest text the item's templates can make as its guide), whose title and tool tip are
// the text too (the application's name for the calendar symbol), and whose icon is the
// calendar page of the icon format for the panels that show no text.
class TrayItem : public StatusHostItem {
    Q_OBJECT
public:
    enum class Registration { pending, asking, registered, refused, dropped };

    TrayItem(TrayHost& host, const QString& name);

    StatusNotifierItem* notifier() const { return m_notifier; }
    Registration registration = Registration::pending;
    // How often the watcher has dropped the item while it was alive.
    int drops = 0;

    void setSource(const std::optional<MenuBarItem>& source) override;
    void showText(const QString& text) override;
    // At the point where the panel was last clicked: it tells no more of where the item is.
    ScreenAnchor anchor() const override;
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
// are registered with the watcher one after the other, each told its place
// (XAyatanaOrderingIndex), in layout order or, for the panels known to put each new item
// first, in reverse; a watcher that appears (again: the panel crashed or was replaced) gets
// every item registered afresh. A live item that the watcher drops (it says so, or its list
// no longer has it a moment after the registrations) is registered again after a short
// delay; an item dropped too often makes the panel unusable until another watcher appears.
class TrayHost : public StatusHost {
    Q_OBJECT
public:
    // The icon's sizes: the panel's usual 22 pixels, and twice that for scaled screens.
    static constexpr int iconSizes[] = {22, 44};

    // `busAddress` empty: the session bus. Every item exports `menu` to the panel and shows it
    // when the panel asks for a context menu.
    TrayHost(const Settings& settings, SystemEvents& events, const QString& busAddress, QMenu& menu,
             QObject* parent = nullptr);
    ~TrayHost() override;

    static constexpr int reRegisterDelayMs = 500;
    static constexpr int maxDrops = 3;
    static constexpr int defaultCheckDelayMs = 2500;

    // A watcher is on the bus and keeps the items it was given.
    bool watcherPresent() const { return m_watcherPresent && !m_gaveUp; }
    // For tests: quicker settling of new items, and an earlier look at the watcher's list.
    void setTimings(StatusNotifierItem::Settling settling, int checkDelayMs);
    // Left to right.
    const QList<TrayItem*>& items() const { return m_items; }

    StatusHostItem* addItem(const QString& name) override;
    void removeItem(StatusHostItem* item) override;

    // For the items.
    QString busAddress() const { return m_busAddress; }
    QMenu& menu() const { return m_menu; }
    // The icon for today and the icon format, one image per size, and its name in the theme
    // of the folder `iconThemePath`.
    const QList<QImage>& icon();
    QString iconName() const { return m_iconName; }
    QString iconThemePath() const { return m_iconThemePath; }
    StatusNotifierItem::Settling settling() const { return m_settling; }
    int year() const;

Q_SIGNALS:
    void watcherChanged(bool present);

private Q_SLOTS:
    void itemUnregistered(const QString& watcherId);

private:
    void watcherOwnerChanged(const QString& newOwner);
    void schedulePublish();
    void publish();
    void registerNext();
    void checkRegistrations();
    void dropped(TrayItem* item);
    bool watcherPutsNewItemsFirst() const;

    const Settings& m_settings;
    SystemEvents& m_events;
    QMenu& m_menu;
    QString m_busAddress;
    QString m_connectionName;
    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
    bool m_watcherPresent = false;
    // Counts the watcher's appearances: an answer from an earlier one no longer counts.
    int m_watcherGeneration = 0;
    QList<TrayItem*> m_items;
    bool m_publishScheduled = false;
    bool m_newItemsFirst = false;
    bool m_gaveUp = false;
    QTimer m_check;
    StatusNotifierItem::Settling m_settling;
    std::optional<std::pair<CalIconFormat, int>> m_iconKey;
    QList<QImage> m_icon;
    QString m_iconName;
    QString m_iconThemePath;
};
