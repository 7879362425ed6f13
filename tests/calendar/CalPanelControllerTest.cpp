#include "calendar/CalPanelController.h"

#include "calendar/CalEngine.h"
#include "calendar/CalPanel.h"
#include "calendar/CalendarGridView.h"
#include "harness/TestProfile.h"
#include "harness/WidgetEvents.h"
#include "platform/ScreenAnchor.h"
#include "settings/Localization.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class CalPanelControllerTest : public ProfileTest {
protected:
    QToolButton* navigationButton(const QString& key) {
        for (auto* button : controller.panel()->findChildren<QToolButton*>()) {
            if (button->accessibleName() == L(key))
                return button;
        }
        ADD_FAILURE() << "no button " << key.toStdString();
        return nullptr;
    }

    QDateTime clock{QDate(2026, 2, 11), QTime(9, 30)};
    QList<QDate> opened;
    bool calendarStarts = true;
    Settings settings{Preferences::standard()};
    CalPanelController controller{settings,
                                  [this](const QDate& day) {
                                      opened.append(day);
                                      return calendarStarts;
                                  },
                                  [this] { return clock; }};
};

// The week numbers turned on, from anywhere: the narrow panel goes, the next one is wider (its
// grid by their column) and stays when the change is announced again.
TEST_F(CalPanelControllerTest, WeekNumbersCloseTheNarrowPanelAndWidenTheNext) {
    controller.show(nullptr);
    ASSERT_TRUE(controller.isVisible());
    EXPECT_EQ(controller.panel()->size(), QSize(294, 326));
    EXPECT_TRUE(controller.gridView()->isCompact());
    const int grid = controller.gridView()->width();
    settings.setShowWeekNumbers(true);
    EXPECT_FALSE(controller.isVisible());
    controller.show(nullptr);
    Q_EMIT settings.showWeekNumbersChanged();
    ASSERT_TRUE(controller.isVisible());
    EXPECT_EQ(controller.panel()->width(), 322);
    EXPECT_EQ(controller.gridView()->width(), grid + 28);
}

TEST(CalPanelPlacement, CentredSixPointsUnderTheButtonAndKeptInsideTheScreen) {
    const QRect screen(0, 0, 1440, 900);
    // In the middle: centred, top edge 6 points below the 24-point bar.
    EXPECT_EQ(CalPanelController::originUnder(QRect(700, 0, 60, 24), screen, 294),
              QPoint(730 - 147, 30));
    // At the right end: the right edge stays 8 points inside.
    const QPoint right = CalPanelController::originUnder(QRect(1400, 0, 40, 24), screen, 322);
    EXPECT_EQ(right.x() + 322, 1440 - 8);
    // At the left end: 8 points from the left edge.
    EXPECT_EQ(CalPanelController::originUnder(QRect(0, 0, 40, 24), screen, 294).x(), 8);
    // A screen that does not start at 0 (a second monitor on the left).
    EXPECT_EQ(
        CalPanelController::originUnder(QRect(-1900, 0, 40, 24), QRect(-1920, 0, 1920, 1080), 294)
            .x(),
        -1912);
    // Never past the bottom.
    EXPECT_EQ(CalPanelController::originUnder(QRect(700, 800, 60, 24), screen, 294).y(),
              900 - 326 - 8);
    EXPECT_EQ(CalPanelController::originAtTop(QRect(0, 24, 1440, 876), 294), QPoint(573, 32));
}

// The desktop's panel tells only where it was clicked: under that point from a top panel (not
// over the panel itself, which lies outside the work area), above it from a bottom one.
TEST(CalPanelPlacement, AtAPointUnderATopPanelOrAboveABottomOne) {
    const QRect underTopPanel(0, 27, 1440, 873);
    EXPECT_EQ(CalPanelController::originAt(QPoint(700, 12), underTopPanel, 294),
              QPoint(700 - 147, 27));
    EXPECT_EQ(CalPanelController::originAt(QPoint(700, 40), underTopPanel, 294),
              QPoint(700 - 147, 46));
    EXPECT_EQ(CalPanelController::originAt(QPoint(1435, 12), underTopPanel, 322).x(),
              1440 - 8 - 322);
    const QRect overBottomPanel(0, 0, 1440, 860);
    EXPECT_EQ(CalPanelController::originAt(QPoint(20, 880), overBottomPanel, 294),
              QPoint(8, 860 - 326));
    EXPECT_EQ(CalPanelController::originAt(QPoint(700, 700), overBottomPanel, 294).y(),
              700 - 6 - 326);
}

// A panel that sends (0, 0), a point off every screen, a point far from the click, or no point
// at all (a row of its menu) gets the calendar under the pointer; a point it gives on a screen
// near the pointer is kept.
TEST(CalPanelPlacement, WithoutAUsablePointThePanelHangsFromThePointer) {
    QCursor::setPos(QPoint(300, 200));
    ASSERT_EQ(QCursor::pos(), QPoint(300, 200));
    for (const ScreenAnchor& anchor :
         {ScreenAnchor(QPoint(0, 0)), ScreenAnchor(QPoint(-5000, -5000)), ScreenAnchor(),
          ScreenAnchor(QPoint(0, 30)), ScreenAnchor(QPoint(900, 190))})
        EXPECT_EQ(CalPanelController::usablePoint(anchor), QPoint(300, 200));
    EXPECT_EQ(CalPanelController::usablePoint(ScreenAnchor(QPoint(500, 10))), QPoint(500, 10));
}

// The guard counts time as it passes: setting the clock forward does not lift it, setting it
// back does not make it last for hours.
TEST_F(CalPanelControllerTest, ToggleWithinAQuarterSecondOfACloseDoesNothing) {
    controller.toggle(nullptr);
    ASSERT_TRUE(controller.isVisible());
    controller.toggle(nullptr);
    EXPECT_FALSE(controller.isVisible());
    clock = clock.addSecs(3600);
    controller.toggle(nullptr);
    EXPECT_FALSE(controller.isVisible());
    clock = clock.addSecs(-7200);
    QTest::qWait(300);
    controller.toggle(nullptr);
    EXPECT_TRUE(controller.isVisible());
}

// Page Up and Down, Ctrl with an arrow and whole notches of the wheel turn the month; Escape
// closes; other keys go on to the panel's controls.
TEST_F(CalPanelControllerTest, KeysAndTheWheelTurnTheMonthEscapeClosesAndOtherKeysPass) {
    controller.show(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller.panel()));
    QWidget* grid = controller.gridView();
    int keysSeen = 0;
    struct KeyCounter : QObject {
        int* count;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::KeyPress)
                ++*count;
            return false;
        }
    } counter;
    counter.count = &keysSeen;
    grid->installEventFilter(&counter);
    QTest::keyClick(grid, Qt::Key_A);
    QTest::keyClick(grid, Qt::Key_Right); // without Ctrl an arrow is the grid's own
    EXPECT_EQ(keysSeen, 2);
    EXPECT_TRUE(controller.isVisible());
    EXPECT_EQ(controller.displayedMonth(), clock);
    const auto month = [&] { return controller.displayedMonth().toLocalTime().date().month(); };
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(month(), 3);
    QTest::keyClick(grid, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_PageUp);
    EXPECT_EQ(month(), 1);
    // Half notches add up; a notch away from the user goes back, one towards it forward.
    for (const auto& [delta, expected] :
         {std::pair(60, 1), std::pair(60, 12), std::pair(-120, 1)}) {
        sendWheel(*grid, delta);
        EXPECT_EQ(month(), expected);
    }
    EXPECT_EQ(keysSeen, 3) << "only Ctrl itself went on";
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(keysSeen, 3);
    EXPECT_FALSE(controller.isVisible());
}

TEST_F(CalPanelControllerTest, ClicksElsewhereAndLossOfActivationClose) {
    QWidget elsewhere;
    elsewhere.show();
    controller.show(nullptr);
    QTest::mouseClick(controller.gridView(), Qt::LeftButton);
    EXPECT_TRUE(controller.isVisible());
    QTest::mouseClick(&elsewhere, Qt::LeftButton);
    EXPECT_FALSE(controller.isVisible());

    clock = clock.addSecs(1);
    controller.show(nullptr);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(controller.panel(), &deactivate);
    EXPECT_FALSE(controller.isVisible());
}

TEST_F(CalPanelControllerTest, NavigationMovesByMonthsAndYearsAndReopeningShowsToday) {
    controller.show(nullptr);
    const QString february = CalEngine::monthTitle(clock);
    EXPECT_EQ(controller.monthLabel()->text(), february);
    navigationButton("cal.mois_suivant")->click();
    navigationButton("cal.mois_suivant")->click();
    navigationButton("cal.mois_suivant")->click();
    EXPECT_EQ(controller.displayedMonth().toLocalTime().date().month(), 5);
    EXPECT_EQ(controller.gridView()->month(), controller.displayedMonth());
    navigationButton("cal.annee_precedente")->click();
    EXPECT_EQ(controller.displayedMonth().toLocalTime().date(), QDate(2025, 5, 1));
    navigationButton("cal.mois_precedent")->click();
    navigationButton("cal.annee_suivante")->click();
    EXPECT_EQ(controller.displayedMonth().toLocalTime().date(), QDate(2026, 4, 1));
    EXPECT_EQ(controller.monthLabel()->text(), CalEngine::monthTitle(controller.displayedMonth()));

    controller.goToday();
    EXPECT_EQ(controller.monthLabel()->text(), february);
    navigationButton("cal.mois_suivant")->click();
    controller.close();
    clock = clock.addSecs(1);
    controller.show(nullptr);
    EXPECT_EQ(controller.monthLabel()->text(), february);
    EXPECT_EQ(controller.gridView()->month(), clock);
}

TEST_F(CalPanelControllerTest, ADoubleClickedDayOpensInTheCalendarAndCloses) {
    // Without a calendar application the panel stays open and says so in the hint's place,
    // right-aligned as the hint and clear of the Today button in every language.
    calendarStarts = false;
    for (const char* language : {"en_US.UTF-8", "fr_FR.UTF-8"}) {
        ScopedEnvironment locale("LANG", language);
        controller.show(nullptr);
        CalendarGridView* grid = controller.gridView();
        grid->grab();
        const QRect hint = controller.hintLabel()->geometry();
        QTest::mouseDClick(grid, Qt::LeftButton, {},
                           grid->dayCells().at(20).rect.center().toPoint());
        EXPECT_TRUE(controller.isVisible());
        EXPECT_EQ(controller.hintLabel()->text(), L("cal.no_calendar_app"));
        const QRect notice = controller.hintLabel()->geometry();
        EXPECT_EQ(notice.right(), hint.right());
        EXPECT_GT(notice.left(), controller.panel()->findChild<QPushButton*>()->geometry().right())
            << language;
        controller.close();
        clock = clock.addSecs(1);
    }
    EXPECT_EQ(opened, (QList<QDate>{QDate(2026, 2, 15), QDate(2026, 2, 15)}));

    calendarStarts = true;
    controller.show(nullptr);
    Q_EMIT controller.gridView()->dayDoubleClicked(QDateTime(QDate(2026, 2, 20), QTime(0, 0)));
    EXPECT_EQ(opened.last(), QDate(2026, 2, 20));
    EXPECT_FALSE(controller.isVisible());
}

} // namespace
