#include "model/MenuBarLayout.h"

#include "model/Logging.h"
#include "settings/CalSettings.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

#include <QMutex>

#include <algorithm>
#include <cmath>

namespace {

// The layout and padding of the application's store, read once per change. The store in use
// may change (tests move the configuration folder), and the cache follows it.
class LayoutCache {
public:
    QList<MenuBarItem> items() {
        QMutexLocker lock(&m_mutex);
        follow(Preferences::standard());
        if (!m_items)
            m_items = decodedItems();
        return *m_items;
    }

    double padding() {
        QMutexLocker lock(&m_mutex);
        follow(Preferences::standard());
        if (!m_padding)
            m_padding = m_store->doubleForKey(PreferenceKeys::itemPadding);
        return *m_padding;
    }

    // Writes through the store; the change is announced once, by the writer, even when the
    // stored value stays the same.
    template <typename Write> void write(Write&& storeWrite) {
        Preferences& store = Preferences::standard();
        {
            QMutexLocker lock(&m_mutex);
            follow(store);
            m_writing = true;
        }
        storeWrite(store);
        {
            QMutexLocker lock(&m_mutex);
            m_writing = false;
            forget();
        }
        Q_EMIT MenuBarLayoutNotifier::instance()->changed();
    }

private:
    void follow(Preferences& store) {
        if (m_store == &store)
            return;
        QObject::disconnect(m_connection);
        m_store = &store;
        forget();
        m_connection =
            QObject::connect(&store, &Preferences::changed, MenuBarLayoutNotifier::instance(),
                             [this](const QStringList& keys) { storeChanged(keys); });
    }

    void forget() {
        m_items.reset();
        m_padding.reset();
    }

    // The layout, the padding, and the icon format while the default item stands in for the
    // layout.
    void storeChanged(const QStringList& keys) {
        {
            QMutexLocker lock(&m_mutex);
            const bool ours =
                keys.contains(QLatin1String(PreferenceKeys::menuBarLayout)) ||
                keys.contains(QLatin1String(PreferenceKeys::itemPadding)) ||
                (m_showingDefault && keys.contains(QLatin1String(PreferenceKeys::iconFormat)));
            if (!ours)
                return;
            forget();
            if (m_writing)
                return;
        }
        Q_EMIT MenuBarLayoutNotifier::instance()->changed();
    }

    QList<MenuBarItem> decodedItems() {
        m_showingDefault = false;
        const auto stored = m_store->dataForKey(PreferenceKeys::menuBarLayout);
        if (stored) {
            if (auto decoded = MenuBarItemCoding::decode(*stored))
                return *decoded;
            qCWarning(lcModel, "The stored menu-bar layout cannot be read; showing the default "
                               "item until it is written again");
        }
        m_showingDefault = true;
        return {MenuBarLayout::migratedItem()};
    }

    QMutex m_mutex;
    Preferences* m_store = nullptr;
    QMetaObject::Connection m_connection;
    std::optional<QList<MenuBarItem>> m_items;
    std::optional<double> m_padding;
    bool m_showingDefault = false;
    bool m_writing = false;
};

LayoutCache& cache() {
    static LayoutCache instance;
    return instance;
}

} // namespace

MenuBarLayoutNotifier* MenuBarLayoutNotifier::instance() {
    static MenuBarLayoutNotifier notifier;
    return &notifier;
}

namespace MenuBarLayout {

QList<MenuBarItem> items() {
    return cache().items();
}

void setItems(const QList<MenuBarItem>& items) {
    cache().write([&](Preferences& store) {
        store.setObject(PreferenceKeys::menuBarLayout, MenuBarItemCoding::encode(items));
    });
}

QList<MenuBarItem> enabledItems() {
    QList<MenuBarItem> enabled = items();
    enabled.removeIf([](const MenuBarItem& item) { return !item.enabled; });
    return enabled;
}

double padding() {
    return cache().padding();
}

void setPadding(double points) {
    // NaN would slip through std::clamp; it is no amount of room at all.
    const double clamped =
        std::isnan(points) ? 0.0 : std::clamp(points, minimumPadding, maximumPadding);
    cache().write(
        [&](Preferences& store) { store.setDouble(PreferenceKeys::itemPadding, clamped); });
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
