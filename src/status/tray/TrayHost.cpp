#include "status/tray/TrayHost.h"

#include "model/LabelGuide.h"
#include "model/TemplateSyntax.h"
#include "platform/AppFolders.h"
#include "platform/SystemEvents.h"
#include "settings/Settings.h"
#include "status/Logging.h"
#include "status/tray/StatusNotifierItem.h"
#include "status/tray/TrayIcon.h"

#include <QCursor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFile>
#include <QFontMetricsF>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace {

int nextHostNumber() {
    static std::atomic<int> counter{0};
    return ++counter;
}

// The arguments a process was started with; empty when it cannot be read.
QStringList commandLineOf(uint pid) {
    QFile file(QString("/proc/%1/cmdline").arg(pid));
    if (pid == 0 || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QChar(0), Qt::SkipEmptyParts);
}

// Whether the panel whose process has this command line shows each newly registered item
// before the others (GNOME Shell's AppIndicator extension, Xfce's status tray).
bool putsNewItemsFirst(const QStringList& commandLine) {
    const QString program = commandLine.value(0).section('/', -1);
    return program == "gnome-shell" ||
           std::any_of(commandLine.cbegin(), commandLine.cend(),
                       [](const QString& argument) { return argument.endsWith("/libsystray.so"); });
}

} // namespace

TrayItem::TrayItem(TrayHost& host, const QString& name)
    : StatusHostItem(&host), m_host(host),
      m_notifier(new StatusNotifierItem(host.busAddress(), name, &host.menu(), this)) {
    m_notifier->setIconThemePath(host.iconThemePath());
    m_notifier->setSettling(host.settling());
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
    m_host.menu().popup(point);
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
    const QList<QImage>& icon = m_host.icon();
    m_notifier->setIcon(icon, m_host.iconName());
}

ScreenAnchor TrayItem::anchor() const {
    return m_lastPoint ? ScreenAnchor(*m_lastPoint) : ScreenAnchor();
}

TrayHost::TrayHost(const Settings& settings, SystemEvents& events, const QString& busAddress,
                   QMenu& menu, QObject* parent)
    : StatusHost(parent), m_settings(settings), m_events(events), m_menu(menu),
      m_busAddress(busAddress), m_connectionName(QString("vesperin-tray-%1").arg(nextHostNumber())),
      m_connection(StatusNotifierItem::openConnection(busAddress, m_connectionName)),
      m_watcher(StatusNotifierItem::watcherService, m_connection,
                QDBusServiceWatcher::WatchForOwnerChange),
      m_iconThemePath(AppFolders::cacheHome() + "/Vesperin/icons") {
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                watcherOwnerChanged(newOwner);
            });
    m_connection.connect(StatusNotifierItem::watcherService, StatusNotifierItem::watcherPath,
                         StatusNotifierItem::watcherService, "StatusNotifierItemUnregistered", this,
                         SLOT(itemUnregistered(QString)));
    m_check.setSingleShot(true);
    m_check.setInterval(defaultCheckDelayMs);
    connect(&m_check, &QTimer::timeout, this, &TrayHost::checkRegistrations);
    if (m_connection.isConnected())
        m_watcherPresent =
            m_connection.interface()->isServiceRegistered(StatusNotifierItem::watcherService);
    m_newItemsFirst = m_watcherPresent && watcherPutsNewItemsFirst();
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
    m_newItemsFirst = present && watcherPutsNewItemsFirst();
    m_gaveUp = false;
    // A new watcher knows none of the items, and one that went has forgotten them.
    ++m_watcherGeneration;
    m_check.stop();
    for (TrayItem* item : std::as_const(m_items)) {
        item->registration = TrayItem::Registration::pending;
        item->drops = 0;
    }
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

const QList<QImage>& TrayHost::icon() {
    const CalIconFormat format = m_settings.iconFormat();
    const std::optional<int> day = TrayIcon::dayFor(format, m_events.today());
    const std::pair key(format, day.value_or(0));
    if (key != m_iconKey) {
        m_iconKey = key;
        m_icon.clear();
        for (const int pixels : iconSizes)
            m_icon.append(TrayIcon::image(pixels, day));
        // Written afresh once a day, so that a new version's drawing replaces an old one's.
        m_iconName = TrayIcon::name(day);
        if (!TrayIcon::writeTheme(m_iconThemePath, day))
            qCWarning(lcStatus) << "Cannot write the status icon" << m_iconName << "under"
                                << m_iconThemePath;
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

void TrayHost::setTimings(StatusNotifierItem::Settling settling, int checkDelayMs) {
    m_settling = settling;
    m_check.setInterval(checkDelayMs);
    for (TrayItem* item : std::as_const(m_items))
        item->notifier()->setSettling(settling);
}

bool TrayHost::watcherPutsNewItemsFirst() const {
    const QDBusReply<uint> pid =
        m_connection.interface()->servicePid(StatusNotifierItem::watcherService);
    return pid.isValid() && putsNewItemsFirst(commandLineOf(pid.value()));
}

// One at a time: each item has a connection of its own, and the bus keeps no order between
// messages of different connections.
void TrayHost::registerNext() {
    using Registration = TrayItem::Registration;
    if (!watcherPresent())
        return;
    const auto asking = [](const TrayItem* item) {
        return item->registration == Registration::asking;
    };
    if (std::any_of(m_items.cbegin(), m_items.cend(), asking))
        return;
    QList<TrayItem*> order = m_items;
    if (m_newItemsFirst)
        std::reverse(order.begin(), order.end());
    for (TrayItem* item : std::as_const(order)) {
        if (item->registration != Registration::pending)
            continue;
        item->registration = Registration::asking;
        item->notifier()->registerWithWatcher([this, item = QPointer(item),
                                               generation = m_watcherGeneration](bool accepted) {
            // Dropped while asking, or asked of an earlier watcher: that item's turn comes
            // again.
            if (item && generation != m_watcherGeneration)
                item->registration = Registration::pending;
            else if (item && item->registration == Registration::asking)
                item->registration = accepted ? Registration::registered : Registration::refused;
            registerNext();
        });
        return;
    }
    if (std::any_of(m_items.cbegin(), m_items.cend(), [](const TrayItem* item) {
            return item->registration == Registration::registered;
        }))
        m_check.start();
}

void TrayHost::itemUnregistered(const QString& watcherId) {
    for (TrayItem* item : std::as_const(m_items)) {
        if (item->notifier()->isNamed(watcherId))
            dropped(item);
    }
}

// Some watchers forget an item without a word; their list tells.
void TrayHost::checkRegistrations() {
    QDBusMessage call = QDBusMessage::createMethodCall(StatusNotifierItem::watcherService,
                                                       StatusNotifierItem::watcherPath,
                                                       "org.freedesktop.DBus.Properties", "Get");
    call << QString(StatusNotifierItem::watcherService) << QString("RegisteredStatusNotifierItems");
    auto* answer = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this, answer, generation = m_watcherGeneration] {
                answer->deleteLater();
                const QDBusReply<QDBusVariant> reply = *answer;
                if (!reply.isValid() || generation != m_watcherGeneration)
                    return;
                const QStringList listed = reply.value().variant().toStringList();
                for (TrayItem* item : std::as_const(m_items)) {
                    const bool there =
                        std::any_of(listed.cbegin(), listed.cend(), [&](const QString& id) {
                            return item->notifier()->isNamed(id);
                        });
                    if (item->registration == TrayItem::Registration::registered && !there)
                        dropped(item);
                }
            });
}

void TrayHost::dropped(TrayItem* item) {
    using Registration = TrayItem::Registration;
    if (m_gaveUp || (item->registration != Registration::registered &&
                     item->registration != Registration::asking))
        return;
    if (++item->drops > maxDrops) {
        qCWarning(lcStatus) << "The panel dropped the status item" << item->notifier()->id()
                            << maxDrops << "times and again; the items leave the panel";
        m_gaveUp = true;
        // From the event loop: the items this host holds go when the choice of host follows.
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT watcherChanged(false); }, Qt::QueuedConnection);
        return;
    }
    qCInfo(lcStatus) << "The panel dropped the status item" << item->notifier()->id()
                     << "; registering it again";
    item->registration = Registration::dropped;
    QTimer::singleShot(reRegisterDelayMs, item, [this, item] {
        if (item->registration != Registration::dropped)
            return;
        item->registration = Registration::pending;
        registerNext();
    });
}
