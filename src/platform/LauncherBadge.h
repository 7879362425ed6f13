#pragma once

#include <QDBusConnection>
#include <QString>

// The count badge on the application's launcher in the desktop's dock or task manager, the
// Linux form of a Dock tile badge. It travels as the Unity launcher entry's Update signal,
// which the KDE task manager and the GNOME docks read: the application's desktop file as
// "application://<id>" and the properties "count" and "count-visible". The signal goes out
// only when what the launcher shows changes, and only on a connected bus.
class LauncherBadge {
public:
    static constexpr const char* objectPath = "/com/orvennalabs/Vesperin";
    static constexpr const char* interface = "com.canonical.Unity.LauncherEntry";
    static constexpr const char* applicationUri = "application://com.orvennalabs.Vesperin.desktop";

    explicit LauncherBadge(const QDBusConnection& bus);

    // Shows `count` on the launcher; 0 or less shows no badge. Starts with no badge shown.
    void setCount(int count);
    int count() const { return m_count; }

private:
    QDBusConnection m_bus;
    int m_count = 0;
};
