#pragma once

#include "platform/DBusMenuExporter.h"
#include "platform/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

// One item in the desktop's own panel, by the freedesktop StatusNotifierItem protocol with the
// Ayatana label extension (the text beside or instead of the icon, which GNOME's AppIndicator
// extension and MATE show). Each item has a bus connection of its own and owns the name
// "org.kde.StatusNotifierItem-<pid>-<n>" on it, with the item at /StatusNotifierItem and its
// menu at /MenuBar: closing the connection is how a watcher learns that an item has gone, so
// deleting the item takes it off every panel at once. Qt's QSystemTrayIcon is no use here: it
// has no text and tells nothing of where the panel was clicked.
class StatusNotifierItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* watcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* watcherPath = "/StatusNotifierWatcher";
    static constexpr const char* itemPath = "/StatusNotifierItem";
    static constexpr const char* menuPath = "/MenuBar";

    // A new connection named `name` to the bus at `address`, or to the session bus when the
    // address is empty.
    static QDBusConnection openConnection(const QString& address, const QString& name);

    StatusNotifierItem(const QString& busAddress, const QString& id,
                       DBusMenuExporter::MenuProvider menuProvider, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    bool isOnBus() const { return !m_serviceName.isEmpty(); }
    QString serviceName() const { return m_serviceName; }
    DBusMenuExporter* menu() const { return m_menu; }

    // The item's name and tool tip; NewTitle and NewToolTip when it changes.
    void setTitle(const QString& title);
    // XAyatanaNewLabel when either changes. The guide is the widest text the label will show,
    // which a panel may use to keep the label's width still.
    void setLabel(const QString& label, const QString& guide);
    // One image per size; NewIcon when the pixels change.
    void setIcon(const QList<QImage>& sizes);
    void setOrderingIndex(uint index) { m_orderingIndex = index; }

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString label() const { return m_label; }
    QString labelGuide() const { return m_guide; }
    const SniIconPixmaps& iconPixmaps() const { return m_icon; }
    uint orderingIndex() const { return m_orderingIndex; }

    // Asks the watcher to show the item; `done` learns whether it said yes. A watcher that
    // restarts has forgotten its items: ask again.
    void registerWithWatcher(std::function<void(bool)> done);

    // A point the panel reported, in Qt's logical coordinates (the panel counts device pixels).
    static QPoint logicalPoint(const QPoint& devicePoint);

Q_SIGNALS:
    // The panel's requests, with the point it gives (where it was clicked, in logical pixels).
    void activated(const QPoint& at);
    void secondaryActivated(const QPoint& at);
    void contextMenuRequested(const QPoint& at);
    // A wheel turned over the item: positive away from the user (up, or left).
    void scrolled(int delta, Qt::Orientation orientation);

    // What the interface announces.
    void titleChanged();
    void iconChanged();
    void labelChanged(const QString& label, const QString& guide);

private:
    QString m_connectionName;
    QDBusConnection m_connection;
    QString m_serviceName;
    QString m_id;
    QString m_title;
    QString m_label;
    QString m_guide;
    SniIconPixmaps m_icon;
    uint m_orderingIndex = 0;
    DBusMenuExporter* m_menu = nullptr;
};
