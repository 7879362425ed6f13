#include "systemclock/SystemClock.h"

#include "harness/FakeDesktop.h"
#include "harness/TestProfile.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

namespace {

const QVariantMap compact = {
    {"IsAnalog", qint64(1)}, {"ShowDate", qint64(2)}, {"ShowDayOfWeek", qint64(0)}};

// A GNOME Shell session with the clock settings, played by FakeDesktop.
class SystemClockTest : public ProfileTest {
protected:
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
    static QStringList command(const char* verb, const char* key, const char* value = nullptr) {
        QStringList words{verb, "org.gnome.desktop.interface", key};
        return value ? words << value : words;
    }

    ScopedEnvironment session{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"};
    FakeDesktop desktop;
    Settings settings{app()};
    SystemClock systemClock{settings, desktop};
};

// The desktop shows each change by itself: no process is started, let alone killed.
TEST_F(SystemClockTest, SwitchingOnAndOffGivesTheUserTheirValuesBackExactly) {
    // Only numbers are backed up; anything else in a managed key goes on restore.
    storeClock({{"IsAnalog", "yes"}, {"ShowDate", qint64(1)}, {"Other", "kept"}});
    desktop.settings["clock-show-weekday"] = true;
    const QMap<QString, bool> shown = desktop.settings;
    systemClock.setCompact(true);
    // The weekday had no value here; GNOME showing it stands for 1.
    const QVariantMap before{{"ShowDate", qint64(1)}, {"ShowDayOfWeek", qint64(1)}};
    EXPECT_EQ(backup(), before);
    QVariantMap compacted = compact;
    compacted.insert("Other", "kept");
    EXPECT_EQ(clock(), compacted);
    EXPECT_TRUE(systemClock.isCompact());
    EXPECT_EQ(desktop.changes, (QList<QStringList>{command("set", "clock-show-date", "false"),
                                                   command("set", "clock-show-weekday", "false")}));

    systemClock.setCompact(true);
    EXPECT_EQ(backup(), before) << "the first backup is kept";

    systemClock.setCompact(false);
    QVariantMap restored = before;
    restored.insert("Other", "kept");
    EXPECT_EQ(clock(), restored);
    EXPECT_FALSE(backup());
    EXPECT_EQ(app().objectForKey(PreferenceKeys::compactSystemClock), QVariant(false));
    EXPECT_EQ(desktop.settings, shown);
    EXPECT_TRUE(desktop.started.isEmpty());
}

TEST_F(SystemClockTest, LaunchBringsTheClockInLineWithTheStoredChoice) {
    storeClock(compact);
    app().setObject(PreferenceKeys::systemClockBackup, QVariantMap{{"ShowDate", qint64(0)}});
    systemClock.reconcileAtLaunch(); // off, with a backup left behind: restored
    EXPECT_EQ(clock(), QVariantMap({{"ShowDate", qint64(0)}}));
    EXPECT_FALSE(backup());
    const qsizetype restoring = desktop.changes.size();
    systemClock.reconcileAtLaunch(); // off, no backup: nothing to do
    EXPECT_EQ(desktop.changes.size(), restoring);

    systemClock.setCompact(true);
    const qsizetype compacting = desktop.changes.size();
    systemClock.reconcileAtLaunch(); // on and compact: nothing to do
    EXPECT_EQ(desktop.changes.size(), compacting);
    desktop.settings["clock-show-date"] = true; // shown again from GNOME's own settings
    systemClock.reconcileAtLaunch();
    EXPECT_FALSE(desktop.settings.value("clock-show-date"));
    EXPECT_TRUE(systemClock.matchesCompact());
    EXPECT_EQ(backup(), QVariantMap({{"ShowDate", qint64(0)}, {"ShowDayOfWeek", qint64(0)}}));
}

// Where no clock on screen would change, there is no switch and nothing is touched.
TEST_F(SystemClockTest, WithoutAClockToChangeNothingIsTouched) {
    EXPECT_TRUE(SystemClock::isAvailable(desktop));
    app().setBool(PreferenceKeys::compactSystemClock, true);
    const QByteArray before = readFile(profile.preferencesFile(Preferences::applicationDomain));
    const auto expectUntouched = [&](const char* where) {
        EXPECT_FALSE(SystemClock::isAvailable(desktop)) << where;
        systemClock.setCompact(true);
        systemClock.reconcileAtLaunch();
        EXPECT_EQ(readFile(profile.preferencesFile(Preferences::applicationDomain)), before)
            << where;
        EXPECT_TRUE(clock().isEmpty()) << where;
        EXPECT_TRUE(desktop.changes.isEmpty()) << where;
    };
    for (const char* other : {"KDE", "XFCE", "X-Cinnamon", "MATE", "Budgie:GNOME",
                              "GNOME-Flashback:GNOME", "GNOMEish", ""}) {
        ScopedEnvironment session("XDG_CURRENT_DESKTOP", other);
        expectUntouched(other);
    }
    {
        ScopedEnvironment sandbox("APP_SANDBOX_CONTAINER_ID", "");
        desktop.ran.clear();
        expectUntouched("an empty value still means a sandbox");
        EXPECT_TRUE(desktop.ran.isEmpty()) << "not even the desktop's settings are read";
    }
    desktop.hasSettingsTool = false;
    expectUntouched("GNOME without the schema");
}

TEST_F(SystemClockTest, AKeyWithoutAValueGetsTheDesktopDefaultBack) {
    // Compacted when the clock had none of the keys: the backup is empty.
    app().setBool(PreferenceKeys::compactSystemClock, true);
    app().setObject(PreferenceKeys::systemClockBackup, QVariantMap{});
    desktop.settings = {{"clock-show-date", false}, {"clock-show-weekday", true}};
    systemClock.setCompact(false);
    EXPECT_EQ(desktop.changes, (QList<QStringList>{command("reset", "clock-show-date"),
                                                   command("reset", "clock-show-weekday")}));
    EXPECT_EQ(desktop.settings, desktop.defaults);
}

} // namespace
