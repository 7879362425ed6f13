#include "status/TrayHost.h"

#include "model/LabelGuide.h"
#include "model/TemplateSyntax.h"
#include "platform/StatusNotifierItem.h"
#include "platform/SystemEvents.h"
#include "settings/Settings.h"
#include "status/Logging.h"
#include "status/TrayIcon.h"

#include <QCursor>
#include <QDBusConnectionInterface>
#include <QFontMetricsF>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <atomic>

namespace {

int nextHostNumber() {
    static std::atomic<int> counter{0};
    return ++counter;
}

} // namespace

TrayItem::TrayItem(TrayHost& host, const QString& name)
    : StatusHostItem(&host), m_host(host),
      m_notifier(new StatusNotifierItem(
          host.busAddress(), name, [&host] { return host.statusMenu(); }, this)) {
    // A middle click (SecondaryActivate) opens the calendar too, as hosts expect of a primary
    // action: the menu has its own request.
    for (const auto signal :
         {&StatusNotifierItem::activated, &StatusNotifierItem::secondaryActivated}) {
        connect(m_notifier, signal, this, [this](const QPoint& point) {
            m_lastPoint = point;
            Q_EMIT primaryClicked(ScreenAnchor(point));
        });
    }
    connect(m_notifier, &StatusNotifierItem::contextMenuRequested, this, &TrayItem::clickedAt);
    connect(m_notifier, &StatusNotifierItem::scrolled, this,
            [this](int delta) { Q_EMIT scrolled(delta); });
    refreshIcon();
}

void TrayItem::clickedAt(const QPoint& point) {
    m_lastPoint = point;
    Q_EMIT menuRequested();
}

// The guide is worked out once per change of the item, not per tick: it is what keeps the
// panel's label from changing width.
void TrayItem::setSource(const std::optional<MenuBarItem>& source) {
    if (source == m_source)
        return;
    m_source = source;
    const QFontMetricsF metrics(StatusHost::textFont());
    m_guide = source ? LabelGuide::widest(
                           *source, m_host.year(),
                           [&](const QString& text) { return metrics.horizontalAdvance(text); })
                     : QString();
}

void TrayItem::showText(const QString& text) {
    const bool blank = TemplateSyntax::trimmed(text).isEmpty();
    m_notifier->setTitle(blank ? QString("Vesperin") : text);
    m_notifier->setLabel(blank ? QString() : text, blank ? QString() : m_guide);
    refreshIcon();
}

void TrayItem::refreshIcon() {
    m_notifier->setIcon(m_host.icon());
}

ScreenAnchor TrayItem::anchor() const {
    return m_lastPoint ? ScreenAnchor(*m_lastPoint) : ScreenAnchor();
}

void TrayItem::popUpMenu(QMenu* menu) {
    menu->popup(m_lastPoint.value_or(QCursor::pos()));
}

TrayHost::TrayHost(const Settings& settings, SystemEvents& events, const QString& busAddress,
                   QObject* parent)
    : StatusHost(parent), m_settings(settings), m_events(events), m_busAddress(busAddress),
      m_connectionName(QString("vesperin-tray-%1").arg(nextHostNumber())),
      m_connection(StatusNotifierItem::openConnection(busAddress, m_connectionName)),
      m_watcher(StatusNotifierItem::watcherService, m_connection,
                QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                watcherOwnerChanged(newOwner);
            });
    if (m_connection.isConnected())
        m_watcherPresent =
            m_connection.interface()->isServiceRegistered(StatusNotifierItem::watcherService);
    connect(&settings, &Settings::iconFormatChanged, this, [this] {
        for (TrayItem* item : std::as_const(m_items))
            item->refreshIcon();
    });
}

TrayHost::~TrayHost() {
    qDeleteAll(m_items);
    m_items.clear();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void TrayHost::watcherOwnerChanged(const QString& newOwner) {
    const bool present = !newOwner.isEmpty();
    qCDebug(lcStatus) << "The panel's item watcher" << (present ? "is here" : "has gone");
    m_watcherPresent = present;
    // A new watcher knows none of the items, and one that went has forgotten them.
    ++m_watcherGeneration;
    for (TrayItem* item : std::as_const(m_items))
        item->registration = TrayItem::Registration::pending;
    if (present)
        schedulePublish();
    Q_EMIT watcherChanged(present);
}

StatusHostItem* TrayHost::addItem(const QString& name) {
    auto* item = new TrayItem(*this, name);
    m_items.prepend(item);
    schedulePublish();
    return item;
}

void TrayHost::removeItem(StatusHostItem* item) {
    auto* tray = qobject_cast<TrayItem*>(item);
    if (!tray || !m_items.removeOne(tray))
        return;
    delete tray; // its connection closes, and every watcher drops it
    schedulePublish();
}

void TrayHost::setMenuProvider(std::function<QMenu*()> provider) {
    m_menuProvider = std::move(provider);
}

QMenu* TrayHost::statusMenu() const {
    return m_menuProvider ? m_menuProvider() : nullptr;
}

const QList<QImage>& TrayHost::icon() {
    const CalIconFormat format = m_settings.iconFormat();
    const std::optional<int> day = TrayIcon::dayFor(format, m_events.today());
    const std::pair key(format, day.value_or(0));
    if (key != m_iconKey) {
        m_iconKey = key;
        m_icon.clear();
        for (const int pixels : iconSizes)
            m_icon.append(TrayIcon::image(pixels, day));
    }
    return m_icon;
}

int TrayHost::year() const {
    return m_events.today().year();
}

// From the event loop: a rebuild adds its items from the last to the first, and the watcher
// should hear of them in layout order, each with its final place.
void TrayHost::schedulePublish() {
    if (m_publishScheduled)
        return;
    m_publishScheduled = true;
    QTimer::singleShot(0, this, &TrayHost::publish);
}

void TrayHost::publish() {
    m_publishScheduled = false;
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_items.at(i)->notifier()->setOrderingIndex(uint(i));
    registerNext();
}

// One at a time: each item has a connection of its own, and the bus keeps no order between
// messages of different connections.
void TrayHost::registerNext() {
    if (!m_watcherPresent)
        return;
    for (const TrayItem* item : std::as_const(m_items)) {
        if (item->registration == TrayItem::Registration::asking)
            return;
    }
    for (TrayItem* item : std::as_const(m_items)) {
        if (item->registration != TrayItem::Registration::pending)
            continue;
        item->registration = TrayItem::Registration::asking;
        item->notifier()->registerWithWatcher(
            [this, item = QPointer(item), generation = m_watcherGeneration](bool accepted) {
                if (item && generation != m_watcherGeneration)
                    item->registration = TrayItem::Registration::pending;
                else if (item)
                    item->registration = accepted ? TrayItem::Registration::registered
                                                  : TrayItem::Registration::refused;
                registerNext();
            });
        return;
    }
}
