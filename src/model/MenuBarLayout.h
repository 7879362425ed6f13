#pragma once

#include "model/MenuBarItem.h"

#include <QObject>

// Announces every write of the layout or of the item padding, synchronously, on the thread
// that wrote. One instance per process.
class MenuBarLayoutNotifier : public QObject {
    Q_OBJECT
public:
    static MenuBarLayoutNotifier* instance();
    static constexpr const char* name = "VSPMenuBarLayoutChanged";

Q_SIGNALS:
    void changed();
};

// The stored menu-bar items, their padding and the built-in presets. Nothing is cached:
// every read decodes the stored bytes afresh.
namespace MenuBarLayout {

struct Preset {
    QList<MenuBarPart> parts;
    QString separator;
};

// The stored list (possibly empty), or one migratedItem() when nothing decodable is
// stored. Reading never writes.
QList<MenuBarItem> items();
// Stores the list and posts changed(); posts also when nothing changed.
void setItems(const QList<MenuBarItem>& items);
QList<MenuBarItem> enabledItems();

inline constexpr double minimumPadding = -8;
inline constexpr double maximumPadding = 24;
double padding();
// Clamps to minimumPadding ... maximumPadding, stores, posts changed().
void setPadding(double points);

const QList<Preset>& presets();

// The default item, built from the format of the former single status item.
MenuBarItem migratedItem();

} // namespace MenuBarLayout
