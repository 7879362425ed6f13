#pragma once

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QStringList>

#include <optional>

// Where everything of a month grid goes: six weeks under a row of weekday names, with an
// optional column of ISO week numbers on the left. Pure layout, so that the view only paints
// and the arithmetic is tested without a window.
namespace MonthGrid {

struct Metrics {
    qreal headerHeight;
    int headerFontSize; // semibold
    int dayFontSize;    // regular; bold for today
    int weekFontSize;   // medium
    qreal todayInset;   // subtracted from the cell's smaller side for today's circle

    static Metrics of(bool compact);
};

struct TextCell {
    QRectF rect;
    QString text;
};

struct DayCell {
    QRectF rect;
    QDateTime date; // the grid's first day plus whole days, at the month start's time of day
    QString text;
    bool isToday = false;
    bool inShownMonth = false;
};

struct Layout {
    QList<TextCell> header;      // seven weekday names
    QList<TextCell> weekNumbers; // one per row when shown
    QList<DayCell> days;         // row by row, left to right
};

// The weekday names for a header that starts on `firstWeekday` (1 = Sunday, 2 = Monday): the
// locale's short names (else its narrowest, else D L M M J V S), cut to three characters,
// upper-cased, without full stops at either end.
QStringList weekdayHeaders(const QString& localeID, int firstWeekday);

// What the grid shows besides the month: taken from the settings by the views.
struct Options {
    bool compact = false;
    bool weekNumbers = false;
    int firstWeekday = 2; // 1 = Sunday, 2 = Monday
};

Layout layout(const QSizeF& size, const QDateTime& month, const QDateTime& today,
              const Options& options);

// The day whose cell contains the point; the first match wins, as drawn.
std::optional<QDateTime> dayAt(const QList<DayCell>& days, const QPointF& point);

} // namespace MonthGrid
