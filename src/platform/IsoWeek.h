#pragma once

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>

// Week numbers of ISO 8601: weeks start on Monday and week 1 is the week that holds the
// year's first Thursday, whatever the locale's own week conventions.
namespace IsoWeek {

std::unique_ptr<icu::Calendar> calendar(const icu::TimeZone& zone, const icu::Locale& locale);
// The week of the instant (1 to 53) in the calendar's zone.
int weekOfYear(icu::Calendar& isoCalendar, UDate at);

} // namespace IsoWeek
