#pragma once

#include "settings/Preferences.h"

#include <optional>

// The format of the single status item of earlier versions; still read to build the
// default menu-bar item and the status title.
enum class CalIconFormat { iconOnly = 0, day = 1, weekdayDay = 2 };

// Absent for any raw value other than 0, 1 or 2.
std::optional<CalIconFormat> calIconFormatFromRaw(long long raw);
inline int rawValue(CalIconFormat format) {
    return int(format);
}

// The calendar settings: the rules of their stored form. No state of their own: every read
// goes to the store (the application's, unless another is given) and every write is stored at
// once. Settings is their live face, with change signals.
namespace CalSettings {

bool showInMenuBar(const Preferences& store = Preferences::standard());
void setShowInMenuBar(bool show, Preferences& store = Preferences::standard());

// A missing key reads as weekdayDay; a stored 0 is iconOnly, 1 is day, anything else
// weekdayDay.
CalIconFormat iconFormat(const Preferences& store = Preferences::standard());
void setIconFormat(CalIconFormat format, Preferences& store = Preferences::standard());

bool showWeekNumbers(const Preferences& store = Preferences::standard());
void setShowWeekNumbers(bool show, Preferences& store = Preferences::standard());

// 1 = Sunday, 2 = Monday; every value other than 1 means Monday.
int firstWeekday(const Preferences& store = Preferences::standard());
void setFirstWeekday(int weekday, Preferences& store = Preferences::standard());

} // namespace CalSettings
