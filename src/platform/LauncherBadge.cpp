#include "platform/LauncherBadge.h"

#include "platform/Logging.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>

#include <algorithm>

namespace {

// The entry's face on the bus, for docks that ask instead of waiting for the next Update.
class LauncherEntryAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.Unity.LauncherEntry")

public:
    explicit LauncherEntryAdaptor(LauncherBadge* badge)
        : QDBusAbstractAdaptor(badge), m_badge(badge) {}

public Q_SLOTS:
    QString Query(QVariantMap& properties) {
        properties = m_badge->properties();
        return LauncherBadge::applicationUri;
    }

private:
    LauncherBadge* m_badge;
};

} // namespace

LauncherBadge::LauncherBadge(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus) {
    if (!m_bus.isConnected())
        return;
    new LauncherEntryAdaptor(this);
    m_exported = m_bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors);
    if (!m_exported)
        qCDebug(lcPlatform) << "The launcher entry is answered by another object at" << objectPath;
}

LauncherBadge::~LauncherBadge() {
    if (m_exported)
        m_bus.unregisterObject(objectPath);
}

QVariantMap LauncherBadge::properties() const {
    return {{"count", qint64(m_count)}, {"count-visible", m_count > 0}};
}

void LauncherBadge::setCount(int count) {
    count = std::max(count, 0);
    if (count == m_count)
        return;
    m_count = count;
    if (!m_bus.isConnected())
        return;
    QDBusMessage update = QDBusMessage::createSignal(objectPath, interface, "Update");
    update << QString(applicationUri) << properties();
    m_bus.send(update);
}

#include "LauncherBadge.moc"
