#pragma once

#include <optional>

// The format of the single status item of earlier versions; still read to build the
// default menu-bar item and the status title.
enum class CalIconFormat { iconOnly = 0, day = 1, weekdayDay = 2 };

// Absent for any raw value other than 0, 1 or 2.
std::optional<CalIconFormat> calIconFormatFromRaw(long long raw);
inline int rawValue(CalIconFormat format) {
    return int(format);
}

// The calendar settings. No state of its own: every read goes to the preferences store and
// every write is stored at once.
namespace CalSettings {

bool showInMenuBar();
void setShowInMenuBar(bool show);

// A missing key reads as weekdayDay; a stored 0 is iconOnly, 1 is day, anything else
// weekdayDay.
CalIconFormat iconFormat();
void setIconFormat(CalIconFormat format);

bool showWeekNumbers();
void setShowWeekNumbers(bool show);

// 1 = Sunday, 2 = Monday; every value other than 1 means Monday.
int firstWeekday();
void setFirstWeekday(int weekday);

} // namespace CalSettings
