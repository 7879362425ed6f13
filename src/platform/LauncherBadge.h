#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

// The count badge on the application's launcher in the desktop's dock or task manager, the
// Linux form of a Dock tile badge. It follows the Unity launcher entry protocol, which the KDE
// task manager and the GNOME docks read: the application's desktop file as
// "application://<id>" and the properties "count" and "count-visible", sent in the Update
// signal when what the launcher shows changes, and answered by the Query method to a dock
// that starts after the application. Nothing goes out on a bus that is not connected.
class LauncherBadge : public QObject {
    Q_OBJECT
public:
    // Beside the single instance's object at "/com/orvennalabs/Vesperin": a path holds one
    // object.
    static constexpr const char* objectPath = "/com/orvennalabs/Vesperin/LauncherEntry";
    static constexpr const char* interface = "com.canonical.Unity.LauncherEntry";
    static constexpr const char* applicationUri = "application://com.orvennalabs.Vesperin.desktop";

    explicit LauncherBadge(const QDBusConnection& bus, QObject* parent = nullptr);
    ~LauncherBadge() override;

    // Shows `count` on the launcher; 0 or less shows no badge. Starts with no badge shown.
    void setCount(int count);
    int count() const { return m_count; }
    // What the launcher shows now, as Update and Query carry it.
    QVariantMap properties() const;

private:
    QDBusConnection m_bus;
    bool m_exported = false;
    int m_count = 0;
};
