#include "settings/CalSettings.h"

#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

std::optional<CalIconFormat> calIconFormatFromRaw(long long raw) {
    switch (raw) {
    case 0:
        return CalIconFormat::iconOnly;
    case 1:
        return CalIconFormat::day;
    case 2:
        return CalIconFormat::weekdayDay;
    default:
        return std::nullopt;
    }
}

namespace CalSettings {

bool showInMenuBar() {
    return Preferences::standard().boolForKey(PreferenceKeys::showInMenuBar);
}

void setShowInMenuBar(bool show) {
    Preferences::standard().setBool(PreferenceKeys::showInMenuBar, show);
}

CalIconFormat iconFormat() {
    const auto& store = Preferences::standard();
    if (!store.objectForKey(PreferenceKeys::iconFormat))
        return CalIconFormat::weekdayDay;
    return calIconFormatFromRaw(store.integerForKey(PreferenceKeys::iconFormat))
        .value_or(CalIconFormat::weekdayDay);
}

void setIconFormat(CalIconFormat format) {
    Preferences::standard().setInteger(PreferenceKeys::iconFormat, rawValue(format));
}

bool showWeekNumbers() {
    return Preferences::standard().boolForKey(PreferenceKeys::weekNumbers);
}

void setShowWeekNumbers(bool show) {
    Preferences::standard().setBool(PreferenceKeys::weekNumbers, show);
}

int firstWeekday() {
    return Preferences::standard().integerForKey(PreferenceKeys::firstWeekday) == 1 ? 1 : 2;
}

void setFirstWeekday(int weekday) {
    Preferences::standard().setInteger(PreferenceKeys::firstWeekday, weekday == 1 ? 1 : 2);
}

} // namespace CalSettings
