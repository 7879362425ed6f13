#include "calendar/CalendarGridView.h"

#include "harness/TestPictures.h"
#include "harness/TestProfile.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

const QDateTime today(QDate(2026, 2, 11), QTime(9, 30));

class CalendarGridViewTest : public ProfileTest {
protected:
    CalendarGridViewTest() {
        grid.setMonth(today);
        grid.resize(280, 218);
        QObject::connect(&grid, &CalendarGridView::dayDoubleClicked,
                         [this](const QDateTime& day) { reported.append(day); });
        grid.show();
        grid.grab(); // draw once, as the screen would
    }
    QPoint centreOf(QDate date) {
        for (const auto& cell : grid.dayCells()) {
            if (cell.date.toLocalTime().date() == date)
                return cell.rect.center().toPoint();
        }
        ADD_FAILURE() << "no cell for " << date.toString().toStdString();
        return {};
    }

    Settings settings{Preferences::standard()};
    CalendarGridView grid{settings, [] { return today; }};
    QList<QDateTime> reported;
};

TEST_F(CalendarGridViewTest, ADoubleClickOnACellReportsThatDayAndNothingElseDoes) {
    ASSERT_EQ(grid.dayCells().size(), 42);
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, centreOf(QDate(2026, 2, 19)));
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported.first().toLocalTime().date(), QDate(2026, 2, 19));

    QTest::mouseClick(&grid, Qt::LeftButton, {}, centreOf(QDate(2026, 2, 20)));
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, QPoint(100, 5)); // in the header
    QTest::mouseDClick(&grid, Qt::RightButton, {}, centreOf(QDate(2026, 2, 20)));
    QTest::mouseDClick(&grid, Qt::MiddleButton, {}, centreOf(QDate(2026, 2, 20)));
    EXPECT_EQ(reported.size(), 1);

    QTest::mouseDClick(&grid, Qt::LeftButton, {}, centreOf(QDate(2026, 3, 1))); // dimmed March
    EXPECT_EQ(reported.last().toLocalTime().date(), QDate(2026, 3, 1));

    // A new first weekday redraws the grid by itself: 1 February 2026 is a Sunday.
    settings.setFirstWeekday(1);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return grid.dayCells().first().date.toLocalTime().date() == QDate(2026, 2, 1); },
        2000));
}

// The pictures are kept for a person to look at when VESPERIN_SCREENSHOT_DIR is set; the test
// itself checks what a broken drawing would get wrong: today's circle and the white number.
TEST_F(CalendarGridViewTest, TodayIsAWhiteNumberOnABlueCircleInEveryVariant) {
    for (int variant = 0; variant < 8; ++variant) {
        const bool dark = variant & 1, compact = variant & 2, weekNumbers = variant & 4;
        const QString name = QString("grid-%1-%2-%3")
                                 .arg(dark ? "dark" : "light", compact ? "compact" : "normal",
                                      weekNumbers ? "weeks" : "plain");
        SCOPED_TRACE(name.toStdString());
        settings.setShowWeekNumbers(weekNumbers);
        grid.setPalette(Appearances::palette(dark ? Appearance::dark : Appearance::light));
        grid.setCompact(compact);
        grid.resize(compact ? 270 : 400, compact ? 218 : 300);
        const QImage image = grid.grab().toImage();
        keepForLooking(image, name);
        const QRect cell = grid.dayCells().at(16).rect.toRect(); // 11 February
        ASSERT_EQ(grid.dayCells().at(16).date.toLocalTime().date(), today.date());
        const QColor edge = image.pixelColor(cell.center() + QPoint(0, cell.height() / 3));
        EXPECT_EQ(edge.rgb(), calBlueFixed().rgb());
        int white = 0;
        for (int x = cell.left(); x <= cell.right(); ++x)
            white += image.pixelColor(x, cell.center().y()).rgb() == QColor(Qt::white).rgb();
        EXPECT_GT(white, 0) << "no white digits on the circle";
    }
}

} // namespace
