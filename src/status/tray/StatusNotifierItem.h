#pragma once

#include "status/tray/DBusMenuExporter.h"
#include "status/tray/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>

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

    StatusNotifierItem(const QString& busAddress, const QString& id, QMenu* menu,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    bool isOnBus() const { return !m_serviceName.isEmpty(); }
    QString serviceName() const { return m_serviceName; }
    DBusMenuExporter* menu() const { return m_menu; }

    // The item's name and tool tip; NewTitle and NewToolTip when it changes.
    void setTitle(const QString& title);
    // XAyatanaNewLabel when either changes. The guide is the widest text the label will show,
    // which a panel may use to keep the label's width still.
    void setLabel(const QString& label, const QString& guide);
    // One image per size, and the same picture's name in the item's theme folder (empty for
    // none); NewIcon when either changes.
    void setIcon(const QList<QImage>& sizes, const QString& name);
    // The folder of the item's own icon theme, for panels that look icons up by name.
    void setIconThemePath(const QString& path) { m_iconThemePath = path; }
    void setOrderingIndex(uint index) { m_orderingIndex = index; }

    // How long change signals wait after the item asks a watcher to show it: until the panel
    // has read both the item and its menu (which panels do once they have set the item up)
    // and `afterReadMs` more have passed, or `withoutReadMs` when it does not. What changed
    // meanwhile is announced once, with its latest value.
    struct Settling {
        int afterReadMs = 250;
        int withoutReadMs = 3000;
    };
    void setSettling(Settling settling) { m_settling = settling; }
    // Called for every property of the item a panel reads.
    void noteRead();
    // Whether a watcher's name for an item is this one: its bus name, alone or followed by an
    // object path ("name/path" or "name@path", as watchers write them).
    bool isNamed(const QString& watcherId) const;

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString label() const { return m_label; }
    QString labelGuide() const { return m_guide; }
    const SniIconPixmaps& iconPixmaps() const { return m_icon; }
    QString iconName() const { return m_iconName; }
    QString iconThemePath() const { return m_iconThemePath; }
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
    enum Change : unsigned { titleChange = 1, iconChange = 2, labelChange = 4 };
    void announce(Change change);
    void holdChanges();
    void releaseChanges();
    void noteMenuRead();
    void releaseWhenSetUp();

    QString m_connectionName;
    QDBusConnection m_connection;
    QString m_serviceName;
    QString m_id;
    QString m_title;
    QString m_label;
    QString m_guide;
    SniIconPixmaps m_icon;
    QString m_iconName;
    QString m_iconThemePath;
    uint m_orderingIndex = 0;
    Settling m_settling;
    QTimer m_release;
    bool m_holding = false;
    bool m_itemRead = false;
    bool m_menuRead = false;
    unsigned m_held = 0; // Change bits
    DBusMenuExporter* m_menu = nullptr;
};
