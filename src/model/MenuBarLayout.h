#pragma once

#include "model/MenuBarItem.h"

#include <QObject>

#include <optional>

class Settings;

// The stored menu-bar items, their padding and the built-in presets. The stored bytes are
// decoded once per change and served from memory in between. A change is announced whoever
// made it: a write of this process at once, on the writing thread; one of another process as
// soon as the settings see it. The application context owns the one of the process; GUI
// thread only.
class MenuBarLayout : public QObject {
    Q_OBJECT
public:
    struct Preset {
        QList<MenuBarPart> parts;
        QString separator;
    };

    static constexpr double minimumPadding = -8;
    static constexpr double maximumPadding = 24;

    explicit MenuBarLayout(Settings& settings, QObject* parent = nullptr);

    // The stored list (possibly empty), or one migratedItem() when nothing decodable is
    // stored. Reading never writes.
    QList<MenuBarItem> items() const;
    // Stores the list and announces itemsChanged(), also when nothing changed.
    void setItems(const QList<MenuBarItem>& items);
    QList<MenuBarItem> enabledItems() const;

    double padding() const;
    // Clamps to minimumPadding ... maximumPadding (NaN to 0), stores, announces
    // paddingChanged().
    void setPadding(double points);

    static const QList<Preset>& presets();

    // The default item, built from the format of the former single status item.
    MenuBarItem migratedItem() const;

Q_SIGNALS:
    void itemsChanged();
    void paddingChanged();

private:
    QList<MenuBarItem> decodedItems() const;
    void storedItemsChanged();
    void storedPaddingChanged();

    Settings& m_settings;
    mutable std::optional<QList<MenuBarItem>> m_items;
    mutable std::optional<double> m_padding;
    // Whether items() stands in with the default item, which follows the icon format.
    mutable bool m_showingDefault = false;
    // Set while this object writes, so that the store's echo is not announced a second time.
    bool m_writing = false;
};
