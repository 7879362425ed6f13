#include "status/tray/StatusNotifierItem.h"

#include "platform/Logging.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>

namespace {

// The interface as panels read it. The icon is given both ways: as pixels, and as a name in the
// item's own theme folder for the panels that read only names.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(SniIconPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(SniIconPixmaps OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(SniIconPixmaps AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
    Q_PROPERTY(uint XAyatanaOrderingIndex READ orderingIndex)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item)
        : QDBusAbstractAdaptor(item), m_item(item) {
        connect(item, &StatusNotifierItem::titleChanged, this, [this] {
            Q_EMIT NewTitle();
            Q_EMIT NewToolTip();
        });
        connect(item, &StatusNotifierItem::iconChanged, this, &StatusNotifierItemAdaptor::NewIcon);
        connect(item, &StatusNotifierItem::labelChanged, this,
                &StatusNotifierItemAdaptor::XAyatanaNewLabel);
    }

    // Every read of what the panel shows tells the item that the panel has set it up.
    QString category() const { return "ApplicationStatus"; }
    QString id() const { return read(m_item->id()); }
    QString title() const { return read(m_item->title()); }
    QString status() const { return "Active"; }
    int windowId() const { return 0; }
    QString noName() const { return {}; }
    QString iconThemePath() const { return read(m_item->iconThemePath()); }
    QString iconName() const { return read(m_item->iconName()); }
    SniIconPixmaps iconPixmap() const { return read(m_item->iconPixmaps()); }
    SniIconPixmaps noPixmap() const { return {}; }
    SniToolTip toolTip() const { return read(SniToolTip{{}, {}, m_item->title(), {}}); }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(StatusNotifierItem::menuPath); }
    QString label() const { return read(m_item->label()); }
    QString labelGuide() const { return m_item->labelGuide(); }
    uint orderingIndex() const { return m_item->orderingIndex(); }

public Q_SLOTS:
    void Activate(int x, int y) { Q_EMIT m_item->activated(pointOf(x, y)); }
    void SecondaryActivate(int x, int y) { Q_EMIT m_item->secondaryActivated(pointOf(x, y)); }
    // Ayatana's middle click, which says no place: (0, 0) stands for "none".
    void XAyatanaSecondaryActivate(uint) { Q_EMIT m_item->secondaryActivated(QPoint()); }
    void ContextMenu(int x, int y) { Q_EMIT m_item->contextMenuRequested(pointOf(x, y)); }
    void Scroll(int delta, const QString& orientation) {
        const bool horizontal = orientation.compare("horizontal", Qt::CaseInsensitive) == 0;
        Q_EMIT m_item->scrolled(delta, horizontal ? Qt::Horizontal : Qt::Vertical);
    }

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

private:
    static QPoint pointOf(int x, int y) { return StatusNotifierItem::logicalPoint({x, y}); }
    template <typename T> T read(T value) const {
        m_item->noteRead();
        return value;
    }

    StatusNotifierItem* m_item;
};

int nextItemNumber() {
    static std::atomic<int> counter{0};
    return ++counter;
}

} // namespace

QDBusConnection StatusNotifierItem::openConnection(const QString& address, const QString& name) {
    return address.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)
                             : QDBusConnection::connectToBus(address, name);
}

StatusNotifierItem::StatusNotifierItem(const QString& busAddress, const QString& id, QMenu* menu,
                                       QObject* parent)
    : QObject(parent), m_connectionName(QString("vesperin-item-%1").arg(nextItemNumber())),
      m_connection(openConnection(busAddress, m_connectionName)), m_id(id) {
    StatusNotifierTypes::registerTypes();
    m_release.setSingleShot(true);
    connect(&m_release, &QTimer::timeout, this, &StatusNotifierItem::releaseChanges);
    new StatusNotifierItemAdaptor(this);
    m_menu = new DBusMenuExporter(m_connection, menuPath, menu, this);
    connect(m_menu, &DBusMenuExporter::read, this, &StatusNotifierItem::noteMenuRead);
    if (!m_connection.isConnected())
        return;
    const QString name = QString("org.kde.StatusNotifierItem-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(m_connectionName.section('-', -1));
    if (m_connection.registerObject(itemPath, this, QDBusConnection::ExportAdaptors) &&
        m_connection.registerService(name))
        m_serviceName = name;
    else
        qCWarning(lcPlatform) << "Cannot put status item" << id << "on the bus";
}

StatusNotifierItem::~StatusNotifierItem() {
    delete m_menu;
    m_connection.unregisterObject(itemPath);
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void StatusNotifierItem::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    announce(titleChange);
}

void StatusNotifierItem::setLabel(const QString& label, const QString& guide) {
    if (label == m_label && guide == m_guide)
        return;
    m_label = label;
    m_guide = guide;
    announce(labelChange);
}

void StatusNotifierItem::setIcon(const QList<QImage>& sizes, const QString& name) {
    SniIconPixmaps icon;
    for (const QImage& image : sizes)
        icon.append(SniIconPixmap::fromImage(image));
    if (icon == m_icon && name == m_iconName)
        return;
    m_icon = icon;
    m_iconName = name;
    announce(iconChange);
}

bool StatusNotifierItem::isNamed(const QString& watcherId) const {
    const auto namedBy = [&](const QString& name) {
        return !name.isEmpty() && (watcherId == name || watcherId.startsWith(name + '/') ||
                                   watcherId.startsWith(name + '@'));
    };
    return namedBy(m_serviceName) || namedBy(m_connection.baseService());
}

void StatusNotifierItem::holdChanges() {
    m_holding = true;
    m_itemRead = false;
    m_menuRead = false;
    m_release.start(m_settling.withoutReadMs);
}

void StatusNotifierItem::noteRead() {
    if (m_holding && !m_itemRead) {
        m_itemRead = true;
        releaseWhenSetUp();
    }
}

void StatusNotifierItem::noteMenuRead() {
    if (m_holding && !m_menuRead) {
        m_menuRead = true;
        releaseWhenSetUp();
    }
}

void StatusNotifierItem::releaseWhenSetUp() {
    if (m_itemRead && m_menuRead)
        m_release.start(m_settling.afterReadMs);
}

void StatusNotifierItem::announce(Change change) {
    if (m_holding) {
        m_held |= change;
        return;
    }
    switch (change) {
    case titleChange:
        Q_EMIT titleChanged();
        break;
    case iconChange:
        Q_EMIT iconChanged();
        break;
    case labelChange:
        Q_EMIT labelChanged(m_label, m_guide);
        break;
    }
}

void StatusNotifierItem::releaseChanges() {
    m_holding = false;
    const unsigned held = std::exchange(m_held, 0U);
    for (const Change change : {titleChange, iconChange, labelChange}) {
        if (held & change)
            announce(change);
    }
}

void StatusNotifierItem::registerWithWatcher(std::function<void(bool)> done) {
    if (!isOnBus()) {
        done(false);
        return;
    }
    // The panel reads the item while it answers, and some panels lose an item whose change
    // signals cross their first read of it.
    holdChanges();
    QDBusMessage call = QDBusMessage::createMethodCall(watcherService, watcherPath, watcherService,
                                                       "RegisterStatusNotifierItem");
    // By object path, the watcher taking the sender's unique name: GNOME's AppIndicator
    // extension, told a well-known name, also watches that name and races its own first read of
    // the item, losing about one item in three.
    call << QString(itemPath);
    auto* answer = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, this,
                     [this, answer, done = std::move(done)] {
                         answer->deleteLater();
                         if (answer->isError())
                             qCDebug(lcPlatform) << "The watcher refused" << m_serviceName
                                                 << answer->error().message();
                         done(!answer->isError());
                     });
}

// Qt keeps a screen's top-left corner where the system puts it and scales what lies beyond.
QPoint StatusNotifierItem::logicalPoint(const QPoint& devicePoint) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QPoint origin = screen->geometry().topLeft();
        const qreal ratio = screen->devicePixelRatio();
        const QRect native(origin, screen->geometry().size() * ratio);
        if (native.contains(devicePoint))
            return origin + (devicePoint - origin) / ratio;
    }
    return devicePoint;
}

#include "StatusNotifierItem.moc"
