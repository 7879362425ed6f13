#include "status/tray/DBusMenuTypes.h"

#include "status/tray/DBusStructure.h"

#include <QDBusMetaType>

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item) {
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayoutItem& child : item.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item) {
    argument.beginStructure();
    argument >> item.id >> item.properties;
    item.children.clear();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        DBusMenuLayoutItem row;
        child.variant().value<QDBusArgument>() >> row;
        item.children.append(row);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item) {
    return DBusStructure::write(argument, item, &DBusMenuItemProperties::id,
                                &DBusMenuItemProperties::properties);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item) {
    return DBusStructure::read(argument, item, &DBusMenuItemProperties::id,
                               &DBusMenuItemProperties::properties);
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item) {
    return DBusStructure::write(argument, item, &DBusMenuItemKeys::id, &DBusMenuItemKeys::names);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item) {
    return DBusStructure::read(argument, item, &DBusMenuItemKeys::id, &DBusMenuItemKeys::names);
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event) {
    return DBusStructure::write(argument, event, &DBusMenuEvent::id, &DBusMenuEvent::eventId,
                                &DBusMenuEvent::data, &DBusMenuEvent::timestamp);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event) {
    return DBusStructure::read(argument, event, &DBusMenuEvent::id, &DBusMenuEvent::eventId,
                               &DBusMenuEvent::data, &DBusMenuEvent::timestamp);
}

namespace DBusMenuTypes {

void registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<DBusMenuLayoutItem>();
        qDBusRegisterMetaType<DBusMenuItemProperties>();
        qDBusRegisterMetaType<DBusMenuItemPropertiesList>();
        qDBusRegisterMetaType<DBusMenuItemKeys>();
        qDBusRegisterMetaType<DBusMenuItemKeysList>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<DBusMenuEventList>();
        qDBusRegisterMetaType<QList<QStringList>>(); // "shortcut": aas
        // QtDBus looks the types of a slot's parameters and a signal's arguments up by the
        // names they are written with.
        qRegisterMetaType<DBusMenuItemPropertiesList>("DBusMenuItemPropertiesList");
        qRegisterMetaType<DBusMenuItemKeysList>("DBusMenuItemKeysList");
        qRegisterMetaType<DBusMenuEventList>("DBusMenuEventList");
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace DBusMenuTypes
