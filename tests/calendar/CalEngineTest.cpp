#include "calendar/CalEngine.h"

#include "harness/TestProfile.h"
#include "platform/SystemContext.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QDateTime paris(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone("Europe/Paris"));
}

// The local wall-clock reading of an instant in the tests' zone, e.g. "2026-03-01 00:00".
QString wallClock(const QDateTime& instant) {
    return instant.toTimeZone(QTimeZone("Europe/Paris")).toString("yyyy-MM-dd HH:mm");
}

class CalEngineTest : public ProfileTest {
protected:
    void TearDown() override { SystemContext::reloadFromEnvironment(); }
};

// Months start at midnight on the first in local time; shifting starts from there.
TEST_F(CalEngineTest, MonthsStartAtLocalMidnightOnTheFirstAndShiftAcrossYears) {
    EXPECT_EQ(wallClock(CalEngine::monthStart(paris(2026, 1, 31, 23, 59))), "2026-01-01 00:00");
    // In summer time the first of the month is still midnight on the local clock.
    EXPECT_EQ(CalEngine::monthStart(paris(2026, 4, 20, 12, 0)),
              QDateTime(QDate(2026, 3, 31), QTime(22, 0), Qt::UTC));
    EXPECT_EQ(wallClock(CalEngine::shiftMonth(paris(2026, 1, 31, 15, 0), 1)), "2026-02-01 00:00");
    EXPECT_EQ(wallClock(CalEngine::shiftMonth(paris(2025, 12, 31, 23, 59), 1)), "2026-01-01 00:00");
    EXPECT_EQ(wallClock(CalEngine::shiftMonth(paris(2026, 1, 15), -25)), "2023-12-01 00:00");
    EXPECT_EQ(wallClock(CalEngine::shiftMonth(paris(2026, 10, 15), 1)), "2026-11-01 00:00");
}

TEST_F(CalEngineTest, MonthTitlesBeginWithACapitalInEveryLanguage) {
    EXPECT_EQ(CalEngine::monthTitle(paris(2026, 3, 7)), "March 2026");
    ScopedEnvironment language("LANG", "fr_FR.UTF-8");
    SystemContext::reloadFromEnvironment();
    EXPECT_EQ(CalEngine::monthTitle(paris(2026, 3, 7)), "Mars 2026");
    ScopedEnvironment catalan("LANG", "ca_ES.UTF-8");
    SystemContext::reloadFromEnvironment();
    // The stand-alone name, not the "de març" of a full date.
    EXPECT_EQ(CalEngine::monthTitle(paris(2026, 3, 7)), QString::fromUtf8("Mar\u00e7 2026"));
}

// Week numbers are ISO: a Sunday ends its week, in the zone's own day.
TEST_F(CalEngineTest, WeekNumbersAreIso) {
    EXPECT_EQ(CalEngine::isoWeekNumber(paris(2021, 1, 1, 12)), 53);
    EXPECT_EQ(CalEngine::isoWeekNumber(paris(2025, 12, 29, 0, 0)), 1);
    EXPECT_EQ(CalEngine::isoWeekNumber(paris(2026, 3, 8, 12)), 10); // a Sunday
    // 23:30 UTC on Sunday is Monday in Paris.
    EXPECT_EQ(CalEngine::isoWeekNumber(QDateTime(QDate(2026, 3, 8), QTime(23, 30), Qt::UTC)), 11);
}

TEST_F(CalEngineTest, TheCalendarApplicationIsOpenedOnTheLocalDay) {
    EXPECT_FALSE(CalEngine::openInCalendarApp(paris(2026, 3, 7), {})); // no opener at all
    QList<QDate> opened;
    bool started = true;
    const CalEngine::DayOpener open = [&](const QDate& day) {
        opened.append(day);
        return started;
    };
    // 23:30 UTC on the 6th is already the 7th in Paris.
    EXPECT_TRUE(
        CalEngine::openInCalendarApp(QDateTime(QDate(2026, 3, 6), QTime(23, 30), Qt::UTC), open));
    started = false;
    EXPECT_FALSE(CalEngine::openInCalendarApp(paris(2026, 12, 31, 23, 59), open));
    EXPECT_EQ(opened, (QList<QDate>{QDate(2026, 3, 7), QDate(2026, 12, 31)}));
}

} // namespace
