#pragma once

#include "model/MenuBarItem.h"

#include <QObject>

// Announces every change of the layout or of the item padding: a write of this process
// synchronously, on the thread that wrote; a change written by another process as soon as the
// store sees it. One instance per process.
class MenuBarLayoutNotifier : public QObject {
    Q_OBJECT
public:
    static MenuBarLayoutNotifier* instance();
    static constexpr const char* name = "VSPMenuBarLayoutChanged";

Q_SIGNALS:
    void changed();
};

// The stored menu-bar items, their padding and the built-in presets. The stored bytes are
// decoded once per change and served from memory in between.
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
