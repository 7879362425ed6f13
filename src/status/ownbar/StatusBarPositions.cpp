#include "status/ownbar/StatusBarPositions.h"

#include "settings/Preferences.h"
#include "status/ownbar/StatusBar.h"

StatusBarPositions::StatusBarPositions(StatusBar& bar, Preferences& store, QObject* parent)
    : QObject(parent) {
    QStringList order;
    for (const QVariant& name : store.arrayForKey(orderKey).value_or(QVariantList()))
        order.append(name.toString());
    bar.setRememberedOrder(order);
    connect(&bar, &StatusBar::orderRemembered, this,
            [&store](const QStringList& names) { store.setObject(orderKey, QVariant(names)); });
}
