#include "platform/StatusNotifierItem.h"

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

// The interface as panels read it. The icon is given as pixels only: a name would be looked
// up in the panel's icon theme, which knows nothing of ours.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ noName)
    Q_PROPERTY(QString IconName READ noName)
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

    QString category() const { return "ApplicationStatus"; }
    QString id() const { return m_item->id(); }
    QString title() const { return m_item->title(); }
    QString status() const { return "Active"; }
    int windowId() const { return 0; }
    QString noName() const { return {}; }
    SniIconPixmaps iconPixmap() const { return m_item->iconPixmaps(); }
    SniIconPixmaps noPixmap() const { return {}; }
    SniToolTip toolTip() const { return {{}, {}, m_item->title(), {}}; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(StatusNotifierItem::menuPath); }
    QString label() const { return m_item->label(); }
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

StatusNotifierItem::StatusNotifierItem(const QString& busAddress, const QString& id,
                                       DBusMenuExporter::MenuProvider menuProvider, QObject* parent)
    : QObject(parent), m_connectionName(QString("vesperin-item-%1").arg(nextItemNumber())),
      m_connection(openConnection(busAddress, m_connectionName)), m_id(id) {
    StatusNotifierTypes::registerTypes();
    new StatusNotifierItemAdaptor(this);
    m_menu = new DBusMenuExporter(m_connection, menuPath, std::move(menuProvider), this);
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
    Q_EMIT titleChanged();
}

void StatusNotifierItem::setLabel(const QString& label, const QString& guide) {
    if (label == m_label && guide == m_guide)
        return;
    m_label = label;
    m_guide = guide;
    Q_EMIT labelChanged(m_label, m_guide);
}

void StatusNotifierItem::setIcon(const QList<QImage>& sizes) {
    SniIconPixmaps icon;
    for (const QImage& image : sizes)
        icon.append(SniIconPixmap::fromImage(image));
    if (icon == m_icon)
        return;
    m_icon = icon;
    Q_EMIT iconChanged();
}

void StatusNotifierItem::registerWithWatcher(std::function<void(bool)> done) {
    if (!isOnBus()) {
        done(false);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(watcherService, watcherPath, watcherService,
                                                       "RegisterStatusNotifierItem");
    call << m_serviceName;
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
