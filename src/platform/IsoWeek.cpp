#include "platform/IsoWeek.h"

#include <unicode/gregocal.h>

namespace IsoWeek {

std::unique_ptr<icu::Calendar> calendar(const icu::TimeZone& zone, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::GregorianCalendar>(zone, locale, status);
    made->setFirstDayOfWeek(UCAL_MONDAY);
    made->setMinimalDaysInFirstWeek(4);
    return made;
}

int weekOfYear(icu::Calendar& isoCalendar, UDate at) {
    UErrorCode status = U_ZERO_ERROR;
    isoCalendar.setTime(at, status);
    return isoCalendar.get(UCAL_WEEK_OF_YEAR, status);
}

} // namespace IsoWeek
