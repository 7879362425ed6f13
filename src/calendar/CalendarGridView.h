#pragma once

#include "calendar/MonthGrid.h"
#include "platform/Clock.h"

class Settings;

#include <QWidget>

#include <functional>

// One month as six weeks under the weekday names, with ISO week numbers on the left when the
// user wants them, today on a blue circle and the neighbouring months' days dimmed. Draws
// everything itself; a double-click on a day reports that day.
class CalendarGridView : public QWidget {
    Q_OBJECT
public:
    // Today, read at each drawing, comes from `now`; the first weekday and the week numbers
    // from `settings`, redrawn when they change.
    CalendarGridView(const Settings& settings, Clock now, QWidget* parent = nullptr);

    QDateTime month() const { return m_month; }
    void setMonth(const QDateTime& month);
    bool isCompact() const { return m_compact; }
    void setCompact(bool compact);

    // The day cells of the last drawing, row by row.
    const QList<MonthGrid::DayCell>& dayCells() const { return m_dayCells; }

Q_SIGNALS:
    // A primary double-click on the cell of `day`.
    void dayDoubleClicked(const QDateTime& day);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const Settings& m_settings;
    Clock m_now;
    QDateTime m_month;
    bool m_compact = false;
    QList<MonthGrid::DayCell> m_dayCells;
};
