#include "settings/Settings.h"

#include "harness/TestProfile.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

#include <QMetaProperty>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

using SettingsTest = ProfileTest;

// A change of a key, whoever made it, reaches exactly its property's signal (none for the keys
// nothing watches), and the property then reads what the store holds by its rules.
TEST_F(SettingsTest, EveryKeyChangesItsOwnPropertyAndNoOther) {
    Preferences& store = Preferences::standard();
    Settings settings(store);
    const QDateTime scan(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
    struct Row {
        const char* property;
        const char* key;
        QVariant stored;
        QVariant read;
    };
    const Row rows[] = {
        {"menuBarMode", PreferenceKeys::menuBarMode, true, true},
        {"showInMenuBar", PreferenceKeys::showInMenuBar, true, true},
        {"onboarded", PreferenceKeys::onboarded, true, true},
        {"showWeekNumbers", PreferenceKeys::weekNumbers, true, true},
        {"firstWeekday", PreferenceKeys::firstWeekday, qint64(3), 2}, // only 1 is Sunday
        {"iconFormat", PreferenceKeys::iconFormat, qint64(1),
         QVariant::fromValue(CalIconFormat::day)},
        {"itemPadding", PreferenceKeys::itemPadding, 4.5, 4.5},
        {"menuBarLayout", PreferenceKeys::menuBarLayout, QByteArray("[]"), QByteArray("[]")},
        {"compactSystemClock", PreferenceKeys::compactSystemClock, true, true},
        {"lastCrashScan", PreferenceKeys::lastCrashScan, scan, scan},
        {"deviceId", PreferenceKeys::deviceId, QString("ID"), QString("ID")},
        {"messageHistory", PreferenceKeys::messageHistory, QVariantList{QVariantMap{}},
         QVariantList{QVariantMap{}}},
        {"shownMessages", PreferenceKeys::shownMessages, QVariantList{qint64(7)},
         QVariantList{qint64(7)}},
        {"ackMessage", PreferenceKeys::ackMessage, qint64(7), qint64(7)},
        {"statusHost", PreferenceKeys::statusHost, QString("tray"), QString("tray")},
        {"automaticUpdateChecks", PreferenceKeys::automaticUpdateChecks, qint64(1), true},
        {"automaticUpdateDownloads", PreferenceKeys::automaticUpdateDownloads, true, true},
        {"lastUpdateCheck", PreferenceKeys::lastUpdateCheck, scan, scan},
    };
    const QMetaObject* meta = settings.metaObject();
    ASSERT_EQ(meta->propertyCount() - meta->propertyOffset(), int(std::size(rows)));

    std::map<QByteArray, std::unique_ptr<QSignalSpy>> spies;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.hasNotifySignal())
            spies[property.name()] = std::make_unique<QSignalSpy>(
                &settings, QByteArray("2") + property.notifySignal().methodSignature());
    }
    EXPECT_EQ(spies.size(), 12u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.property);
        store.setObject(row.key, row.stored);
        for (auto& [name, spy] : spies) {
            EXPECT_EQ(spy->size(), name == row.property ? 1 : 0) << name.constData();
            spy->clear();
        }
        EXPECT_EQ(settings.property(row.property), row.read);
    }
}

// Weeks start on Monday unless the stored value is exactly 1 (Sunday).
TEST_F(SettingsTest, WritingAPropertyStoresItByTheRules) {
    Settings settings(Preferences::standard());
    EXPECT_EQ(settings.firstWeekday(), 2); // absent
    settings.setFirstWeekday(1);
    EXPECT_EQ(Preferences::standard().integerForKey(PreferenceKeys::firstWeekday), 1);
    EXPECT_EQ(settings.firstWeekday(), 1);
    settings.setFirstWeekday(7);
    EXPECT_EQ(Preferences::standard().integerForKey(PreferenceKeys::firstWeekday), 2);
    EXPECT_EQ(settings.iconFormat(), CalIconFormat::weekdayDay); // absent
    settings.setIconFormat(CalIconFormat::iconOnly);
    EXPECT_EQ(Preferences::standard().objectForKey(PreferenceKeys::iconFormat), qint64(0));

    // Only a whole number acknowledges a message; anything else would tell the service a
    // message was seen that never was.
    Preferences::standard().setDouble(PreferenceKeys::ackMessage, 7.5);
    EXPECT_EQ(settings.ackMessage(), 0);

    // The clock's backup is absent, a dictionary, or (whatever else was stored) an empty one;
    // writing none removes the key.
    EXPECT_FALSE(settings.systemClockBackup());
    Preferences::standard().setObject(PreferenceKeys::systemClockBackup, QString("broken"));
    EXPECT_EQ(settings.systemClockBackup(), QVariantMap());
    settings.setSystemClockBackup(QVariantMap{{"ShowDate", qint64(1)}});
    EXPECT_EQ(settings.systemClockBackup(), (QVariantMap{{"ShowDate", qint64(1)}}));
    settings.setSystemClockBackup(std::nullopt);
    EXPECT_FALSE(Preferences::standard().objectForKey(PreferenceKeys::systemClockBackup));
}

} // namespace
