#pragma once

#include "calendar/CalEngine.h"
#include "calendar/CalPanel.h"
#include "calendar/CalendarGridView.h"
#include "platform/Clock.h"
#include "platform/ScreenAnchor.h"
#include "platform/WheelSteps.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QPushButton>

#include <functional>

class QKeyEvent;
class Settings;

// The month calendar that drops down under a status item. Builds the panel afresh at every
// opening (so it always starts on the current month and with the current settings),
// navigates by month and year, and closes it on Escape, on a click anywhere else, when it
// loses activation, and after a double-clicked day was opened in the calendar application.
// When no calendar application could be started, the panel stays open and its hint says so.
class CalPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr int gapBelowButton = 6;
    static constexpr int screenMargin = 8;
    static constexpr qint64 reopenGuardMs = 250;

    // Opens double-clicked days with `openDay`; reads the week numbers from `settings` at
    // every opening.
    // The months shown and today's mark follow `now`.
    CalPanelController(const Settings& settings, CalEngine::DayOpener openDay, Clock now,
                       QObject* parent = nullptr);
    ~CalPanelController() override;

    bool isVisible() const;
    // Closes an open panel; otherwise opens one, unless a panel closed less than 0.25 s ago
    // (the click that closed it by taking activation away must not reopen it).
    void toggle(const ScreenAnchor& anchor);
    // Opens a new panel under the anchor's button, or at its point (where the desktop's panel
    // was clicked), or at the top centre of the screen with neither.
    void show(const ScreenAnchor& anchor);
    void close();
    // A wheel turned over the status item: while the panel is open, a month back for a turn
    // away from the user (a positive delta), a month on for one towards.
    void scroll(int delta);

    void previousMonth() { shift(-1); }
    void nextMonth() { shift(1); }
    void previousYear() { shift(-12); }
    void nextYear() { shift(12); }
    void goToday();

    CalPanel* panel() const { return m_panel; }
    CalendarGridView* gridView() const { return m_gridView; }
    QLabel* monthLabel() const { return m_monthLabel; }
    // The hint beside the Today button ("Double-click to open in Calendar"), or the notice
    // that no calendar application was found.
    QLabel* hintLabel() const { return m_hint; }
    QDateTime displayedMonth() const { return m_displayedMonth; }

    // Top-left corner of a panel `width` wide, centred 6 points under `button` (global
    // coordinates) and kept 8 points inside `available`.
    static QPoint originUnder(const QRect& button, const QRect& available, int width);
    // Top-left corner at the top centre of `available`.
    static QPoint originAtTop(const QRect& available, int width);
    // Top-left corner of a panel `width` wide, centred on `point` and 6 points under it (or
    // above it, in the lower half of `available`, as for a panel along the bottom edge), kept
    // inside `available`, and 8 points from its sides and far edge.
    static QPoint originAt(const QPoint& point, const QRect& available, int width);
    // The point a panel opened for `anchor` hangs from: the one the desktop's panel gave when
    // it lies on a screen, is not (0, 0) and is within reach of the pointer (MATE's
    // notification area sends x = 0 under an item at the right end), else the pointer when
    // no item of the own bar stands for it; none where the item's button or the top of the
    // screen should decide.
    static std::optional<QPoint> usablePoint(const ScreenAnchor& anchor);
    // Farther from the pointer than this, a point a panel gives is not where the user clicked.
    static constexpr int pointerReach = 256;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(int width);
    void place(const ScreenAnchor& anchor, int width);
    void shift(int months);
    static int monthsForKey(const QKeyEvent& key);
    void showDisplayedMonth();
    void openInCalendar(const QDateTime& day);
    void setHint(const QString& text);

    QPointer<CalPanel> m_panel;
    QPointer<CalendarGridView> m_gridView;
    QPointer<QLabel> m_monthLabel;
    QPointer<QLabel> m_hint;
    QPointer<QPushButton> m_todayButton;
    // Monotonic, so that setting the clock back cannot hold the panel shut.
    QElapsedTimer m_sinceClose;
    WheelSteps m_wheel;
    const Settings& m_settings;
    const CalEngine::DayOpener m_openDay;
    const Clock m_now;
    QDateTime m_displayedMonth;
};
