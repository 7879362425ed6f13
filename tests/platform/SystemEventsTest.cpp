#include "platform/SystemEvents.h"

#include "harness/TestProfile.h"
#include "platform/SystemContext.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

// Reaches the handlers that the kernel and the file system would call, and the timers.
class SystemEventsProbe {
public:
    static QTimer& dayTimer(SystemEvents& events) { return *events.m_dayTimer; }
    static void dayTimerFired(SystemEvents& events) { events.timeMayHaveMoved(); }
    static void clockWasSet(SystemEvents& events) { events.clockWasSet(); }
};

namespace {

QDateTime utc(const char* text) {
    QDateTime instant = QDateTime::fromString(text, Qt::ISODate);
    EXPECT_TRUE(instant.isValid()) << text;
    return instant.toUTC();
}

// Days are calendar days of the zone, whatever the clock changes do to their length (the
// 23-hour day of the change to summer time is in the day timer test below).
TEST(NextMidnightTest, IsTheStartOfTheNextLocalDay) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Europe/Paris", "2026-06-10T15:30:00+02:00", "2026-06-11T00:00:00+02:00"},
        // Exactly at midnight the next one is a day away, never the same instant.
        {"Europe/Paris", "2026-06-11T00:00:00+02:00", "2026-06-12T00:00:00+02:00"},
        {"Asia/Tokyo", "2026-06-10T15:30:00Z", "2026-06-12T00:00:00+09:00"},
        // Brazil sprang forward at midnight: 4 November 2018 began at 01:00.
        {"America/Sao_Paulo", "2018-11-03T12:00:00-03:00", "2018-11-04T01:00:00-02:00"},
        // Samoa skipped 30 December 2011 altogether.
        {"Pacific/Apia", "2011-12-29T12:00:00-10:00", "2011-12-31T00:00:00+14:00"},
    };
    for (const auto& [zone, after, expected] : cases)
        EXPECT_EQ(SystemEvents::nextMidnight(utc(after), zone), utc(expected)) << zone << after;
}

// Each test gets its own zone files, a clock it sets by hand, and the process's own zone
// and locale back afterwards.
class SystemEventsTest : public ::testing::Test {
protected:
    SystemEventsTest() {
        EXPECT_TRUE(QFile::link("/usr/share/zoneinfo/Europe/Paris", localtime()));
        writeFile(timezone(), "Europe/Paris\n");
        SystemContext::reloadFromEnvironment();
    }
    ~SystemEventsTest() override { SystemContext::reloadFromEnvironment(); }

    QString localtime() const { return folder.filePath("localtime"); }
    QString timezone() const { return folder.filePath("timezone"); }

    std::unique_ptr<SystemEvents> makeEvents() {
        SystemEvents::Sources sources;
        sources.zoneFiles = {localtime(), timezone()};
        sources.now = [this] { return clock; };
        return std::make_unique<SystemEvents>(sources);
    }

    // Points the fake localtime at another zone the way timedatectl does: a new link next to
    // the old one, renamed over it.
    void relinkLocaltime(const QString& zone) {
        const QString fresh = folder.filePath("localtime.new");
        ASSERT_TRUE(QFile::link("/usr/share/zoneinfo/" + zone, fresh));
        ASSERT_EQ(::rename(QFile::encodeName(fresh), QFile::encodeName(localtime())), 0);
    }

    QTemporaryDir folder;
    QDateTime clock = utc("2026-06-10T10:00:00+02:00");
};

TEST_F(SystemEventsTest, DayChangesOnlyOnceMidnightHasPassed) {
    clock = utc("2026-03-28T23:30:00+01:00"); // the night clocks go forward in Paris
    auto events = makeEvents();
    QSignalSpy days(events.get(), &SystemEvents::dayChanged);
    QTimer& timer = SystemEventsProbe::dayTimer(*events);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 30 * 60 * 1000);

    // A timer that fires a little early finds the same day and waits for the rest.
    clock = utc("2026-03-28T23:59:59.990+01:00");
    SystemEventsProbe::dayTimerFired(*events);
    EXPECT_EQ(days.count(), 0);
    EXPECT_EQ(timer.interval(), 10);
    EXPECT_EQ(events->nextDayChange(), utc("2026-03-29T00:00:00+01:00"));

    // Then the next one is 23 hours away.
    clock = utc("2026-03-29T00:00:00.004+01:00");
    SystemEventsProbe::dayTimerFired(*events);
    EXPECT_EQ(days.count(), 1);
    EXPECT_EQ(events->nextDayChange(), utc("2026-03-30T00:00:00+02:00"));
    EXPECT_EQ(timer.interval(), 23 * 3600 * 1000 - 4);
}

TEST_F(SystemEventsTest, ClockJumpsAreSignalledAndMoveTheDay) {
    auto events = makeEvents();
    QSignalSpy clocks(events.get(), &SystemEvents::clockChanged);
    QSignalSpy days(events.get(), &SystemEvents::dayChanged);

    clock = utc("2026-06-12T08:00:00+02:00");
    SystemEventsProbe::clockWasSet(*events);
    EXPECT_EQ(clocks.count(), 1);
    EXPECT_EQ(days.count(), 1);
    EXPECT_EQ(events->nextDayChange(), utc("2026-06-13T00:00:00+02:00"));

    clock = utc("2026-06-12T09:00:00+02:00"); // same day: the clock changed, the day did not
    SystemEventsProbe::clockWasSet(*events);
    EXPECT_EQ(clocks.count(), 2);
    EXPECT_EQ(days.count(), 1);
}

TEST_F(SystemEventsTest, ReplacedLocaltimeLinkChangesTheZone) {
    auto events = makeEvents();
    QStringList zonesSeen;
    QObject::connect(events.get(), &SystemEvents::timeZoneChanged,
                     [&] { zonesSeen.append(SystemContext::currentTimeZoneID()); });

    // The zone is read from TZ first, so TZ shows whether the zone was read again before
    // the signal went out.
    ScopedEnvironment tz("TZ", "Asia/Tokyo");
    relinkLocaltime("Asia/Tokyo");
    QSignalSpy zones(events.get(), &SystemEvents::timeZoneChanged);
    ASSERT_TRUE(zones.wait(10000));
    EXPECT_EQ(zonesSeen, QStringList{"Asia/Tokyo"});

    // The watch follows the new link: a second change is seen too.
    relinkLocaltime("America/New_York");
    ASSERT_TRUE(zones.wait(10000));
    EXPECT_EQ(zones.count(), 2);

    // So is /etc/timezone rewritten in place.
    writeFile(timezone(), "America/New_York\n");
    ASSERT_TRUE(zones.wait(10000));
    EXPECT_EQ(zones.count(), 3);
}

TEST_F(SystemEventsTest, LocaleChangeOfTheApplicationReloadsTheLocale) {
    auto events = makeEvents();
    QStringList localesSeen;
    QObject::connect(events.get(), &SystemEvents::localeChanged,
                     [&] { localesSeen.append(SystemContext::currentLocaleID()); });
    ScopedEnvironment lang("LANG", "fr_FR.UTF-8");

    // A locale set on one object is that object's business.
    QObject someObject;
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&someObject, &change);
    EXPECT_TRUE(localesSeen.isEmpty());
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    EXPECT_EQ(localesSeen, QStringList{"fr_FR"});
}

} // namespace
