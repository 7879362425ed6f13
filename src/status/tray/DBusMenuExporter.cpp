#include "status/tray/DBusMenuExporter.h"

#include "platform/Logging.h"

#include <QAction>
#include <QActionGroup>
#include <QBuffer>
#include <QDBusAbstractAdaptor>
#include <QDBusError>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

constexpr int rootId = 0;

// The interface's face of the exporter: names, types and signals exactly as the panels
// expect them on the bus.
class DBusMenuAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter* exporter)
        : QDBusAbstractAdaptor(exporter), m_exporter(exporter) {
        connect(exporter, &DBusMenuExporter::layoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
        connect(exporter, &DBusMenuExporter::itemsPropertiesUpdated, this,
                &DBusMenuAdaptor::ItemsPropertiesUpdated);
    }

    uint version() const {
        Q_EMIT m_exporter->read();
        return 3;
    }
    QString textDirection() const { return QGuiApplication::isRightToLeft() ? "rtl" : "ltr"; }
    QString status() const { return "normal"; }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DBusMenuLayoutItem& layout) {
        Q_EMIT m_exporter->read();
        layout = m_exporter->layout(parentId, recursionDepth, propertyNames);
        return m_exporter->revision();
    }
    DBusMenuItemPropertiesList GetGroupProperties(const QList<int>& ids,
                                                  const QStringList& propertyNames) {
        return m_exporter->properties(ids, propertyNames);
    }
    QDBusVariant GetProperty(int id, const QString& name, const QDBusMessage& call) {
        const QVariant value = m_exporter->property(id, name);
        if (!value.isValid()) {
            call.setDelayedReply(true); // the error below is the answer
            m_exporter->connection().send(call.createErrorReply(
                QDBusError::InvalidArgs,
                QString("No row %1 with a property \"%2\"").arg(id).arg(name)));
        }
        return QDBusVariant(value.isValid() ? value : QVariant(QString()));
    }
    void Event(int id, const QString& eventId, const QDBusVariant&, uint) {
        m_exporter->handleEvent(id, eventId);
    }
    QList<int> EventGroup(const DBusMenuEventList& events) {
        QList<int> idErrors;
        for (const DBusMenuEvent& event : events) {
            if (!m_exporter->handleEvent(event.id, event.eventId))
                idErrors.append(event.id);
        }
        return idErrors;
    }
    bool AboutToShow(int id) { return m_exporter->aboutToShow(id); }
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
        QList<int> updatesNeeded;
        for (const int id : ids) {
            if (!m_exporter->contains(id))
                idErrors.append(id);
            else if (m_exporter->aboutToShow(id))
                updatesNeeded.append(id);
        }
        return updatesNeeded;
    }

Q_SIGNALS:
    void ItemsPropertiesUpdated(const DBusMenuItemPropertiesList& updatedProps,
                                const DBusMenuItemKeysList& removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    DBusMenuExporter* m_exporter;
};

QByteArray pngOf(const QIcon& icon) {
    const QList<QSize> sizes = icon.availableSizes();
    const QPixmap pixmap = icon.pixmap(sizes.isEmpty() ? QSize(16, 16) : sizes.first());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return bytes;
}

} // namespace

DBusMenuExporter::DBusMenuExporter(const QDBusConnection& connection, const QString& path,
                                   QMenu* menu, QObject* parent)
    : QObject(parent), m_connection(connection), m_path(path), m_menu(menu) {
    DBusMenuTypes::registerTypes();
    new DBusMenuAdaptor(this);
    m_exported = m_connection.registerObject(m_path, this, QDBusConnection::ExportAdaptors);
    if (!m_exported)
        qCWarning(lcPlatform) << "Cannot export the menu at" << m_path;
}

DBusMenuExporter::~DBusMenuExporter() {
    if (m_exported)
        m_connection.unregisterObject(m_path);
}

QString DBusMenuExporter::label(const QString& text) {
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == '_') {
            result += "__";
        } else if (c != '&') {
            result += c;
        } else if (i + 1 < text.size()) {
            result += text.at(i + 1) == '&' ? QChar('&') : QChar('_');
            if (text.at(i + 1) == '&')
                ++i;
        }
    }
    return result;
}

QVariantMap DBusMenuExporter::propertiesOf(const QAction* action) {
    QVariantMap properties{{"visible", action->isVisible()}};
    if (action->isSeparator()) {
        properties["type"] = QString("separator");
        return properties;
    }
    properties["label"] = label(action->text());
    properties["enabled"] = action->isEnabled();
    if (action->isCheckable()) {
        const bool radio = action->actionGroup() && action->actionGroup()->isExclusive();
        properties["toggle-type"] = QString(radio ? "radio" : "checkmark");
        properties["toggle-state"] = action->isChecked() ? 1 : 0;
    }
    if (!action->icon().isNull())
        properties["icon-data"] = pngOf(action->icon());
    if (action->menu())
        properties["children-display"] = QString("submenu");
    return properties;
}

// Rows are numbered depth first in the order the menus list them, so the same menu built
// again numbers the same rows the same way.
void DBusMenuExporter::addRows(const QMenu* menu, int parent, Rows& rows) {
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        const int id = int(rows.size());
        rows[parent].children.append(id);
        rows.insert(id, Row{parent, {}, propertiesOf(action), action});
        addRows(action->menu(), id, rows);
    }
}

void DBusMenuExporter::ensureBuilt() {
    if (!m_built)
        rebuild();
}

bool DBusMenuExporter::rebuild() {
    if (m_menu)
        Q_EMIT m_menu->aboutToShow();
    Rows rows;
    rows.insert(rootId, Row{-1, {}, {{"children-display", QString("submenu")}}, nullptr});
    addRows(m_menu, rootId, rows);

    const Rows before = std::exchange(m_rows, std::move(rows));
    const bool first = !std::exchange(m_built, true);
    if (first)
        return true;
    if (!sameStructure(before, m_rows)) {
        Q_EMIT layoutUpdated(++m_revision, rootId);
        return true;
    }
    bool changed = false;
    for (auto it = m_rows.cbegin(); it != m_rows.cend() && !changed; ++it)
        changed = it->properties != before.value(it.key()).properties;
    if (changed)
        announcePropertyChanges(before);
    return changed;
}

// The same rows under the same numbers, each of the same kind: what differs is announced as
// properties, so a panel keeps its rows.
bool DBusMenuExporter::sameStructure(const Rows& a, const Rows& b) {
    if (a.size() != b.size())
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const auto other = b.constFind(it.key());
        if (other == b.cend() || other->parent != it->parent || other->children != it->children ||
            other->properties.value("type") != it->properties.value("type"))
            return false;
    }
    return true;
}

void DBusMenuExporter::announcePropertyChanges(const Rows& before) {
    DBusMenuItemPropertiesList updated;
    DBusMenuItemKeysList removed;
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        const QVariantMap& old = before.value(it.key()).properties;
        QVariantMap changed;
        for (auto property = it->properties.cbegin(); property != it->properties.cend();
             ++property) {
            if (old.value(property.key()) != property.value())
                changed.insert(property.key(), property.value());
        }
        QStringList gone;
        for (auto property = old.cbegin(); property != old.cend(); ++property) {
            if (!it->properties.contains(property.key()))
                gone.append(property.key());
        }
        if (!changed.isEmpty())
            updated.append({it.key(), changed});
        if (!gone.isEmpty())
            removed.append({it.key(), gone});
    }
    Q_EMIT itemsPropertiesUpdated(updated, removed);
}

QVariantMap DBusMenuExporter::filtered(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty())
        return properties;
    QVariantMap result;
    for (const QString& name : names) {
        if (properties.contains(name))
            result.insert(name, properties.value(name));
    }
    return result;
}

// A depth of -1 means every level below; 0 the row alone.
DBusMenuLayoutItem DBusMenuExporter::layoutOf(int id, int depth, const QStringList& names) const {
    const auto row = m_rows.constFind(id);
    if (row == m_rows.cend())
        return {id, {}, {}};
    DBusMenuLayoutItem item{id, filtered(row->properties, names), {}};
    if (depth != 0) {
        for (const int child : row->children)
            item.children.append(layoutOf(child, depth < 0 ? depth : depth - 1, names));
    }
    return item;
}

DBusMenuLayoutItem DBusMenuExporter::layout(int parentId, int depth, const QStringList& names) {
    ensureBuilt();
    return layoutOf(parentId, depth, names);
}

DBusMenuItemPropertiesList DBusMenuExporter::properties(const QList<int>& ids,
                                                        const QStringList& names) {
    ensureBuilt();
    QList<int> wanted = ids;
    if (wanted.isEmpty()) {
        wanted = m_rows.keys();
        std::sort(wanted.begin(), wanted.end());
    }
    DBusMenuItemPropertiesList result;
    for (const int id : std::as_const(wanted)) {
        if (m_rows.contains(id))
            result.append({id, filtered(m_rows.value(id).properties, names)});
    }
    return result;
}

// A property the row does not list reads as the interface's default for it; null for a row
// that does not exist or a name the interface does not know.
QVariant DBusMenuExporter::property(int id, const QString& name) {
    ensureBuilt();
    const auto row = m_rows.constFind(id);
    if (row == m_rows.cend())
        return {};
    return row->properties.value(name, defaultProperty(name));
}

QVariant DBusMenuExporter::defaultProperty(const QString& name) {
    static const QVariantMap defaults{
        {"type", QString("standard")},
        {"label", QString()},
        {"enabled", true},
        {"visible", true},
        {"icon-name", QString()},
        {"icon-data", QByteArray()},
        {"shortcut", QVariant::fromValue(QList<QStringList>())},
        {"toggle-type", QString()},
        {"toggle-state", -1},
        {"children-display", QString()},
        {"disposition", QString("normal")},
        {"accessible-desc", QString()},
    };
    return defaults.value(name);
}

bool DBusMenuExporter::contains(int id) {
    ensureBuilt();
    return m_rows.contains(id);
}

bool DBusMenuExporter::handleEvent(int id, const QString& eventId) {
    ensureBuilt();
    const auto row = m_rows.constFind(id);
    if (row == m_rows.cend())
        return false;
    if (eventId == "clicked" && row->action)
        QTimer::singleShot(0, row->action, &QAction::trigger);
    return true;
}

bool DBusMenuExporter::aboutToShow(int id) {
    if (id != rootId)
        return false; // submenus are built with the menu
    return rebuild();
}

#include "DBusMenuExporter.moc"
