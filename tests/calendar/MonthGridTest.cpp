#include "calendar/MonthGrid.h"

#include "calendar/CalEngine.h"
#include "harness/TestProfile.h"

#include <gtest/gtest.h>

namespace {

QDateTime local(int year, int month, int day, int hour = 12) {
    return QDateTime(QDate(year, month, day), QTime(hour, 0));
}

QDate dateOf(const MonthGrid::DayCell& cell) {
    return cell.date.toLocalTime().date();
}

class MonthGridTest : public ProfileTest {
protected:
    MonthGrid::Layout layoutOf(const QDateTime& month, bool weekNumbers = false) {
        return MonthGrid::layout(QSizeF(280, 218), month, local(2000, 1, 1),
                                 {true, weekNumbers, firstWeekday});
    }

    int firstWeekday = 2;
};

TEST_F(MonthGridTest, SixWeeksFromTheFirstWeekdayOnOrBeforeTheFirstWithOtherMonthsDimmed) {
    const auto days = layoutOf(local(2026, 2, 14)).days;
    ASSERT_EQ(days.size(), 42);
    EXPECT_EQ(dateOf(days.first()), QDate(2026, 1, 26));
    EXPECT_EQ(dateOf(days.at(6)), QDate(2026, 2, 1));
    EXPECT_FALSE(days.first().inShownMonth);
    EXPECT_TRUE(days.at(6).inShownMonth);
    EXPECT_EQ(dateOf(days.at(33)), QDate(2026, 2, 28));
    for (int i = 34; i < 42; ++i)
        EXPECT_FALSE(days.at(i).inShownMonth) << i;
    EXPECT_EQ(dateOf(days.last()), QDate(2026, 3, 8));

    // A month starting on the first weekday starts in the first cell.
    EXPECT_EQ(dateOf(layoutOf(local(2026, 6, 30)).days.first()), QDate(2026, 6, 1)); // a Monday
    firstWeekday = 1;
    const auto march = layoutOf(local(2026, 3, 10)).days;
    EXPECT_EQ(dateOf(march.first()), QDate(2026, 3, 1)); // a Sunday
    EXPECT_TRUE(march.first().inShownMonth);
    // Across the change to summer time (29 March in Paris) every cell stays at midnight.
    for (int i = 0; i < march.size(); ++i) {
        EXPECT_EQ(dateOf(march.at(i)), QDate(2026, 3, 1).addDays(i));
        EXPECT_EQ(march.at(i).date.toLocalTime().time(), QTime(0, 0)) << i;
        EXPECT_EQ(march.at(i).text, QString::number(dateOf(march.at(i)).day()));
    }
}

TEST_F(MonthGridTest, WeekNumbersTakeTheFirstTenthAndNameEachRowsFirstDay) {
    const auto layout = layoutOf(local(2026, 2, 14), true);
    ASSERT_EQ(layout.weekNumbers.size(), 6);
    EXPECT_DOUBLE_EQ(layout.header.first().rect.x(), 28);
    EXPECT_DOUBLE_EQ(layout.days.first().rect.width(), (280 - 28) / 7.0);
    EXPECT_DOUBLE_EQ(layout.days.at(6).rect.right(), 280);
    EXPECT_EQ(layout.weekNumbers.first().text, "5"); // 26 January 2026
    EXPECT_EQ(layout.weekNumbers.last().text, "10");
    EXPECT_DOUBLE_EQ(layout.weekNumbers.first().rect.width(), 28);

    // Sunday first: a row starting on Sunday shows the ISO week that Sunday ends.
    firstWeekday = 1;
    const auto sunday = layoutOf(local(2021, 1, 10), true);
    EXPECT_EQ(dateOf(sunday.days.first()), QDate(2020, 12, 27));
    EXPECT_EQ(sunday.weekNumbers.first().text, "52");
    EXPECT_EQ(sunday.weekNumbers.at(1).text, "53"); // Sunday 3 January 2021

    EXPECT_TRUE(layoutOf(local(2026, 2, 14), false).weekNumbers.isEmpty());
    EXPECT_DOUBLE_EQ(layoutOf(local(2026, 2, 14), false).header.first().rect.x(), 0);
}

TEST(MonthGridHeaders, ShortNamesCutUpperCasedAndWithoutFullStops) {
    EXPECT_EQ(MonthGrid::weekdayHeaders("fr_FR", 2),
              (QStringList{"LUN", "MAR", "MER", "JEU", "VEN", "SAM", "DIM"}));
    EXPECT_EQ(MonthGrid::weekdayHeaders("en_US", 1),
              (QStringList{"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"}));
}

} // namespace
