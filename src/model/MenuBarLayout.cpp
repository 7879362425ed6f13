#include "model/MenuBarLayout.h"

#include "model/Logging.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>

MenuBarLayout::MenuBarLayout(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings) {
    connect(&settings, &Settings::menuBarLayoutChanged, this, &MenuBarLayout::storedItemsChanged);
    connect(&settings, &Settings::itemPaddingChanged, this, &MenuBarLayout::storedPaddingChanged);
    connect(&settings, &Settings::iconFormatChanged, this, [this] {
        if (m_showingDefault)
            storedItemsChanged();
    });
}

QList<MenuBarItem> MenuBarLayout::items() const {
    if (!m_items)
        m_items = decodedItems();
    return *m_items;
}

void MenuBarLayout::setItems(const QList<MenuBarItem>& items) {
    m_writing = true;
    m_settings.setMenuBarLayout(MenuBarItemCoding::encode(items));
    m_writing = false;
    m_items.reset();
    Q_EMIT itemsChanged();
}

QList<MenuBarItem> MenuBarLayout::enabledItems() const {
    QList<MenuBarItem> enabled = items();
    enabled.removeIf([](const MenuBarItem& item) { return !item.enabled; });
    return enabled;
}

double MenuBarLayout::padding() const {
    if (!m_padding)
        m_padding = m_settings.itemPadding();
    return *m_padding;
}

void MenuBarLayout::setPadding(double points) {
    // NaN would slip through std::clamp; it is no amount of room at all.
    const double clamped =
        std::isnan(points) ? 0.0 : std::clamp(points, minimumPadding, maximumPadding);
    m_writing = true;
    m_settings.setItemPadding(clamped);
    m_writing = false;
    m_padding.reset();
    Q_EMIT paddingChanged();
}

void MenuBarLayout::storedItemsChanged() {
    m_items.reset();
    if (!m_writing)
        Q_EMIT itemsChanged();
}

void MenuBarLayout::storedPaddingChanged() {
    m_padding.reset();
    if (!m_writing)
        Q_EMIT paddingChanged();
}

QList<MenuBarItem> MenuBarLayout::decodedItems() const {
    m_showingDefault = false;
    const QByteArray stored = m_settings.menuBarLayout();
    if (!stored.isEmpty()) {
        if (auto decoded = MenuBarItemCoding::decode(stored))
            return *decoded;
        qCWarning(lcModel, "The stored menu-bar layout cannot be read; showing the default "
                           "item until it is written again");
    }
    m_showingDefault = true;
    return {migratedItem()};
}

const QList<MenuBarLayout::Preset>& MenuBarLayout::presets() {
    static const QString twoSpaces = QStringLiteral("  ");
    static const QString middleDot = QStringLiteral(" \u00B7 ");
    static const QList<Preset> table = {
        {{{"{wd} {day}"}}, twoSpaces},
        {{{"{wd} {day} {mon}"}}, twoSpaces},
        {{{"{weekday} {day} {month}"}}, twoSpaces},
        {{{"{dd}.{mm}.{year}"}}, twoSpaces},
        {{{"{HH}:{min}"}}, twoSpaces},
        {{{"{h}:{min} {ampm}"}}, twoSpaces},
        {{{"{wd} {day}"}, {"{HH}:{min}"}}, middleDot},
        {{{"{flag} {HH}:{min}"}}, twoSpaces},
        {{{"{flag} {city} {HH}:{min}"}}, twoSpaces},
        {{{"S{week}"}, {"{wd} {day}"}}, middleDot},
        {{{"{flag} {HH}:{min}", "Asia/Bangkok"},
          {"{flag} {HH}:{min}", "Europe/Zurich"},
          {"{wd} {day} {mon}"}},
         twoSpaces},
        {{}, twoSpaces},
    };
    return table;
}

MenuBarItem MenuBarLayout::migratedItem() const {
    MenuBarItem item;
    item.id = QUuid::createUuid();
    item.enabled = true;
    switch (m_settings.iconFormat()) {
    case CalIconFormat::iconOnly:
        item.templateText = "";
        break;
    case CalIconFormat::day:
        item.templateText = "{day}";
        break;
    case CalIconFormat::weekdayDay:
        item.templateText = "{wd} {day}";
        break;
    }
    return item;
}
