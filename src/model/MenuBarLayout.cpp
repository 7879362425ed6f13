#include "model/MenuBarLayout.h"

#include "settings/CalSettings.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

#include <algorithm>
#include <cmath>

MenuBarLayoutNotifier* MenuBarLayoutNotifier::instance() {
    static MenuBarLayoutNotifier notifier;
    return &notifier;
}

namespace MenuBarLayout {

QList<MenuBarItem> items() {
    const auto stored = Preferences::standard().dataForKey(PreferenceKeys::menuBarLayout);
    if (stored) {
        if (auto decoded = MenuBarItemCoding::decode(*stored))
            return *decoded;
    }
    return {migratedItem()};
}

void setItems(const QList<MenuBarItem>& items) {
    Preferences::standard().setObject(PreferenceKeys::menuBarLayout,
                                      MenuBarItemCoding::encode(items));
    Q_EMIT MenuBarLayoutNotifier::instance()->changed();
}

QList<MenuBarItem> enabledItems() {
    QList<MenuBarItem> enabled = items();
    enabled.removeIf([](const MenuBarItem& item) { return !item.enabled; });
    return enabled;
}

double padding() {
    return Preferences::standard().doubleForKey(PreferenceKeys::itemPadding);
}

void setPadding(double points) {
    // NaN would slip through std::clamp; it is no amount of room at all.
    const double clamped =
        std::isnan(points) ? 0.0 : std::clamp(points, minimumPadding, maximumPadding);
    Preferences::standard().setDouble(PreferenceKeys::itemPadding, clamped);
    Q_EMIT MenuBarLayoutNotifier::instance()->changed();
}

const QList<Preset>& presets() {
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

MenuBarItem migratedItem() {
    MenuBarItem item;
    item.id = QUuid::createUuid();
    item.enabled = true;
    switch (CalSettings::iconFormat()) {
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

} // namespace MenuBarLayout
