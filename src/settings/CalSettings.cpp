#include "settings/CalSettings.h"

#include "settings/PreferenceKeys.h"

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

bool showInMenuBar(const Preferences& store) {
    return store.boolForKey(PreferenceKeys::showInMenuBar);
}

void setShowInMenuBar(bool show, Preferences& store) {
    store.setBool(PreferenceKeys::showInMenuBar, show);
}

CalIconFormat iconFormat(const Preferences& store) {
    if (!store.objectForKey(PreferenceKeys::iconFormat))
        return CalIconFormat::weekdayDay;
    return calIconFormatFromRaw(store.integerForKey(PreferenceKeys::iconFormat))
        .value_or(CalIconFormat::weekdayDay);
}

void setIconFormat(CalIconFormat format, Preferences& store) {
    store.setInteger(PreferenceKeys::iconFormat, rawValue(format));
}

bool showWeekNumbers(const Preferences& store) {
    return store.boolForKey(PreferenceKeys::weekNumbers);
}

void setShowWeekNumbers(bool show, Preferences& store) {
    store.setBool(PreferenceKeys::weekNumbers, show);
}

int firstWeekday(const Preferences& store) {
    return store.integerForKey(PreferenceKeys::firstWeekday) == 1 ? 1 : 2;
}

void setFirstWeekday(int weekday, Preferences& store) {
    store.setInteger(PreferenceKeys::firstWeekday, weekday == 1 ? 1 : 2);
}

} // namespace CalSettings
