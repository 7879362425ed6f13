#include "calendar/CalEngine.h"

#include "platform/Graphemes.h"
#include "platform/IcuString.h"
#include "platform/IsoWeek.h"
#include "platform/SystemContext.h"

#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>

namespace {

UDate udate(const QDateTime& date) {
    return UDate(date.toMSecsSinceEpoch());
}

QDateTime instant(UDate at) {
    return QDateTime::fromMSecsSinceEpoch(qint64(at), Qt::UTC);
}

// The calendar set to the date, or absent when it cannot take it.
std::unique_ptr<icu::Calendar> calendarAt(const QDateTime& date, int firstWeekday = 2) {
    auto calendar = CalEngine::calendar(firstWeekday);
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(udate(date), status);
    if (U_FAILURE(status))
        return nullptr;
    return calendar;
}

std::optional<int> field(icu::Calendar& calendar, UCalendarDateFields which) {
    UErrorCode status = U_ZERO_ERROR;
    const int value = calendar.get(which, status);
    if (U_FAILURE(status))
        return std::nullopt;
    return value;
}

QString formatted(const QDateTime& date, const char16_t* pattern) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(icu::UnicodeString(pattern), SystemContext::currentLocale(),
                                    status);
    formatter.adoptTimeZone(SystemContext::currentTimeZone().release());
    icu::UnicodeString text;
    formatter.format(udate(date), text);
    return fromIcu(text);
}

} // namespace

namespace CalEngine {

std::unique_ptr<icu::Calendar> calendar(int firstWeekday) {
    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::GregorianCalendar>(*SystemContext::currentTimeZone(),
                                                         SystemContext::currentLocale(), status);
    made->setFirstDayOfWeek(firstWeekday == 1 ? UCAL_SUNDAY : UCAL_MONDAY);
    return made;
}

QDateTime monthStart(const QDateTime& date) {
    auto calendar = calendarAt(date);
    if (!calendar)
        return date;
    const auto year = field(*calendar, UCAL_EXTENDED_YEAR);
    const auto month = field(*calendar, UCAL_MONTH);
    if (!year || !month)
        return date;
    calendar->clear();
    calendar->set(UCAL_EXTENDED_YEAR, *year);
    calendar->set(UCAL_MONTH, *month);
    UErrorCode status = U_ZERO_ERROR;
    const UDate start = calendar->getTime(status);
    return U_SUCCESS(status) ? instant(start) : date;
}

QDateTime shiftMonth(const QDateTime& date, int months) {
    auto calendar = calendarAt(monthStart(date));
    if (!calendar)
        return date;
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_MONTH, months, status);
    const UDate shifted = calendar->getTime(status);
    return U_SUCCESS(status) ? instant(shifted) : date;
}

QString monthTitle(const QDateTime& date) {
    return Graphemes::upperCaseFirst(formatted(date, u"LLLL yyyy"), SystemContext::currentLocale());
}

int isoWeekNumber(const QDateTime& date) {
    auto calendar =
        IsoWeek::calendar(*SystemContext::currentTimeZone(), SystemContext::currentLocale());
    return IsoWeek::weekOfYear(*calendar, udate(date));
}

QList<QDateTime> gridDays(const QDateTime& month, int firstWeekday) {
    auto calendar = calendarAt(monthStart(month), firstWeekday);
    if (!calendar)
        return {};
    const auto weekday = field(*calendar, UCAL_DAY_OF_WEEK);
    if (!weekday)
        return {};
    const int offset = (*weekday - calendar->getFirstDayOfWeek() + 7) % 7;
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_DATE, -offset, status);
    QList<QDateTime> days;
    for (int i = 0; i < 42 && U_SUCCESS(status); ++i) {
        days.append(instant(calendar->getTime(status)));
        calendar->add(UCAL_DATE, 1, status);
    }
    return U_SUCCESS(status) ? days : QList<QDateTime>();
}

int dayOfMonth(const QDateTime& date) {
    auto calendar = calendarAt(date);
    return calendar ? field(*calendar, UCAL_DATE).value_or(1) : 1;
}

bool isSameDay(const QDateTime& first, const QDateTime& second) {
    auto a = calendarAt(first);
    auto b = calendarAt(second);
    if (!a || !b)
        return false;
    return field(*a, UCAL_EXTENDED_YEAR) == field(*b, UCAL_EXTENDED_YEAR) &&
           field(*a, UCAL_DAY_OF_YEAR) == field(*b, UCAL_DAY_OF_YEAR);
}

bool isInShownMonth(const QDateTime& day, const QDateTime& shownMonth) {
    auto a = calendarAt(day);
    auto b = calendarAt(shownMonth);
    return a && b && field(*a, UCAL_MONTH) == field(*b, UCAL_MONTH);
}

bool openInCalendarApp(const QDateTime& date, const DayOpener& open) {
    auto calendar = calendarAt(date);
    if (!calendar)
        return false;
    const auto year = field(*calendar, UCAL_EXTENDED_YEAR);
    const auto month = field(*calendar, UCAL_MONTH);
    const auto day = field(*calendar, UCAL_DATE);
    if (!year || !month || !day)
        return false;
    return open && open(QDate(*year, *month + 1, *day));
}

} // namespace CalEngine
