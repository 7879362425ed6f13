#include "system/SystemClock.h"

#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestProfile.h"
#include "system/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

const QStringList restart = {"/usr/bin/killall", "ControlCenter"};
const QVariantMap compact = {
    {"IsAnalog", qint64(1)}, {"ShowDate", qint64(2)}, {"ShowDayOfWeek", qint64(0)}};

class SystemClockTest : public ProfileTest {
protected:
    void SetUp() override { SystemClock::setProcessLauncher(&desktop); }
    void TearDown() override { SystemClock::setProcessLauncher(nullptr); }

    Preferences& app() { return Preferences::standard(); }
    Preferences& clockDomain() { return Preferences::domain(SystemClock::domainName); }
    QVariantMap clock() { return clockDomain().dictionaryRepresentation(); }
    void storeClock(const QVariantMap& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            clockDomain().setObject(it.key(), it.value());
    }
    std::optional<QVariant> backup() {
        return app().objectForKey(PreferenceKeys::systemClockBackup);
    }

    FakeDesktop desktop;
};

TEST_F(SystemClockTest, SwitchingOnAndOffGivesTheUserTheirValuesBackExactly) {
    // Only numbers are backed up; anything else in a managed key goes on restore.
    storeClock({{"IsAnalog", "yes"}, {"ShowDate", qint64(1)}, {"Other", "kept"}});
    SystemClock::setCompact(true);
    EXPECT_EQ(backup(), QVariantMap({{"ShowDate", qint64(1)}}));
    QVariantMap compacted = compact;
    compacted.insert("Other", "kept");
    EXPECT_EQ(clock(), compacted);
    EXPECT_TRUE(SystemClock::isCompact());
    EXPECT_EQ(desktop.started, QList<QStringList>{restart});

    SystemClock::setCompact(true);
    EXPECT_EQ(backup(), QVariantMap({{"ShowDate", qint64(1)}})) << "the first backup is kept";

    desktop.startFails = true; // a restart that cannot start changes nothing else
    SystemClock::setCompact(false);
    EXPECT_EQ(clock(), QVariantMap({{"ShowDate", qint64(1)}, {"Other", "kept"}}));
    EXPECT_FALSE(backup());
    EXPECT_EQ(app().objectForKey(PreferenceKeys::compactSystemClock), QVariant(false));
    EXPECT_EQ(desktop.started, QList<QStringList>(3, restart));
}

TEST_F(SystemClockTest, LaunchBringsTheClockInLineWithTheStoredChoice) {
    storeClock(compact);
    app().setObject(PreferenceKeys::systemClockBackup, QVariantMap{{"ShowDate", qint64(0)}});
    SystemClock::reconcileAtLaunch(); // off, with a backup left behind: restored
    EXPECT_EQ(clock(), QVariantMap({{"ShowDate", qint64(0)}}));
    EXPECT_FALSE(backup());
    SystemClock::reconcileAtLaunch(); // off, no backup: nothing to do
    EXPECT_EQ(desktop.started.size(), 1);

    SystemClock::setCompact(true);
    SystemClock::reconcileAtLaunch(); // on and compact: nothing to do
    EXPECT_EQ(desktop.started.size(), 2);
    clockDomain().setInteger("ShowDate", 1);
    SystemClock::reconcileAtLaunch(); // on, but changed behind our back
    EXPECT_EQ(desktop.started.size(), 3);
    EXPECT_TRUE(SystemClock::matchesCompact());
    EXPECT_EQ(backup(), QVariantMap({{"ShowDate", qint64(0)}}));
}

TEST_F(SystemClockTest, InASandboxNothingIsTouched) {
    EXPECT_TRUE(SystemClock::isAvailable());
    desktop.hasSettingsTool = true;
    app().setBool(PreferenceKeys::compactSystemClock, true);
    const QByteArray before = readFile(profile.preferencesFile(Preferences::applicationDomain));

    ScopedEnvironment sandbox("APP_SANDBOX_CONTAINER_ID", "");
    EXPECT_FALSE(SystemClock::isAvailable()) << "an empty value still means a sandbox";
    SystemClock::setCompact(true);
    SystemClock::reconcileAtLaunch();
    EXPECT_EQ(readFile(profile.preferencesFile(Preferences::applicationDomain)), before);
    EXPECT_TRUE(clock().isEmpty());
    EXPECT_TRUE(desktop.started.isEmpty());
    EXPECT_TRUE(desktop.ran.isEmpty()) << "not even the desktop's settings are read";
}

class DesktopClockTest : public SystemClockTest {
protected:
    void SetUp() override {
        SystemClockTest::SetUp();
        desktop.hasSettingsTool = true;
    }
    static QStringList command(const char* verb, const char* key, const char* value = nullptr) {
        QStringList words{verb, "org.gnome.desktop.interface", key};
        return value ? words << value : words;
    }
};

TEST_F(DesktopClockTest, TheDesktopClockIsCompactedAndGivenBackAsItWas) {
    desktop.settings = {{"clock-show-date", true}, {"clock-show-weekday", true}};
    SystemClock::setCompact(true);
    EXPECT_EQ(desktop.changes, (QList<QStringList>{command("set", "clock-show-date", "false"),
                                                   command("set", "clock-show-weekday", "false")}));
    EXPECT_EQ(backup(), QVariantMap({{"ShowDate", qint64(1)}, {"ShowDayOfWeek", qint64(1)}}));
    desktop.settings["clock-show-date"] = true; // shown again from the desktop's own settings
    SystemClock::reconcileAtLaunch();
    EXPECT_FALSE(desktop.settings.value("clock-show-date"));
    SystemClock::setCompact(false);
    EXPECT_EQ(desktop.settings,
              (QMap<QString, bool>{{"clock-show-date", true}, {"clock-show-weekday", true}}));
}

TEST_F(DesktopClockTest, AKeyWithoutAValueGetsTheDesktopDefaultBack) {
    desktop.hasSettingsTool = false; // compacted before the desktop had the settings
    SystemClock::setCompact(true);
    desktop.hasSettingsTool = true;
    desktop.settings = {{"clock-show-date", false}, {"clock-show-weekday", true}};
    SystemClock::setCompact(false);
    EXPECT_EQ(desktop.changes, (QList<QStringList>{command("reset", "clock-show-date"),
                                                   command("reset", "clock-show-weekday")}));
    EXPECT_EQ(desktop.settings, desktop.defaults);
}

} // namespace
