#include "settings/Settings.h"

#include "harness/TestProfile.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

#include <QMetaProperty>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using SettingsTest = ProfileTest;

// Every key has its property; a change of the key, whoever made it, reaches exactly that
// property's signal, and the property then reads what the store holds by its rules.
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
        {"systemClockBackup", PreferenceKeys::systemClockBackup,
         QVariantMap{{"ShowDate", qint64(1)}}, QVariantMap{{"ShowDate", qint64(1)}}},
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

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        spies.push_back(std::make_unique<QSignalSpy>(
            &settings, QByteArray("2") + meta->property(i).notifySignal().methodSignature()));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.property);
        store.setObject(row.key, row.stored);
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const bool own = QByteArray(meta->property(i).name()) == row.property;
            EXPECT_EQ(spies[i - meta->propertyOffset()]->size(), own ? 1 : 0)
                << meta->property(i).name();
            spies[i - meta->propertyOffset()]->clear();
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
}

} // namespace
