#include "platform/LauncherBadge.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>

LauncherBadge::LauncherBadge(const QDBusConnection& bus) : m_bus(bus) {}

void LauncherBadge::setCount(int count) {
    count = std::max(count, 0);
    if (count == m_count)
        return;
    m_count = count;
    if (!m_bus.isConnected())
        return;
    QDBusMessage update = QDBusMessage::createSignal(objectPath, interface, "Update");
    update << QString(applicationUri)
           << QVariantMap{{"count", qint64(count)}, {"count-visible", count > 0}};
    m_bus.send(update);
}
