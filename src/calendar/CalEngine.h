#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <unicode/calendar.h>

#include <functional>
#include <memory>
#include <optional>

// The calendar arithmetic and date texts shared by the month grid, the calendar panel and
// the main window. Nothing is kept between calls: every call reads the current locale and the
// current zone afresh.
namespace CalEngine {

// A Gregorian calendar in the current locale and zone whose weeks start on `firstWeekday`
// (Sunday only for exactly 1, else Monday).
std::unique_ptr<icu::Calendar> calendar(int firstWeekday);

// 00:00 local time on the first day of the date's month.
QDateTime monthStart(const QDateTime& date);
// The first instant of the month `months` away from the date's month (negative: earlier).
QDateTime shiftMonth(const QDateTime& date, int months);
// The stand-alone month name and the year, e.g. "Mars 2026", with a capital first letter
// even where month names are written in lower case.
QString monthTitle(const QDateTime& date);
// The ISO 8601 week (1 to 53) in the current zone, whatever weekday the grid starts on.
int isoWeekNumber(const QDateTime& date);

// The 42 days (six weeks) a month grid shows: from `firstWeekday` (as calendar() takes it)
// on or before the 1st of the month, each at the time of day of the month start. Empty when
// the calendar fails.
QList<QDateTime> gridDays(const QDateTime& month, int firstWeekday);
// The day of the month, 1 to 31, in the current zone.
int dayOfMonth(const QDateTime& date);
// Whether both instants fall on the same calendar day in the current zone.
bool isSameDay(const QDateTime& first, const QDateTime& second);
// Whether the day has the month number of the shown month (neighbouring months are dimmed).
bool isInShownMonth(const QDateTime& day, const QDateTime& shownMonth);

// What starts the calendar application on a day and reports whether one was started. Only
// the desktop can start applications (and talk to them over D-Bus, which needs a library the
// core does not link), so the application makes one (CalendarAppOpener) and tests their own.
using DayOpener = std::function<bool(const QDate&)>;

// Opens the day of the instant (in the current zone, as the grid shows it) with `open`; false
// when no calendar application could be started, or `open` is empty.
bool openInCalendarApp(const QDateTime& date, const DayOpener& open);

} // namespace CalEngine
