#include "settings/CalSettings.h"

#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestProfile.h"

#include <gtest/gtest.h>

namespace {

using CalSettingsTest = ProfileTest;

TEST_F(CalSettingsTest, FirstWeekdayIsSundayOnlyForExactlyOne) {
    EXPECT_EQ(CalSettings::firstWeekday(), 2);
    CalSettings::setFirstWeekday(7);
    EXPECT_EQ(Preferences::standard().integerForKey(PreferenceKeys::firstWeekday), 2);
    CalSettings::setFirstWeekday(1);
    EXPECT_EQ(Preferences::standard().integerForKey(PreferenceKeys::firstWeekday), 1);
    EXPECT_EQ(CalSettings::firstWeekday(), 1);
    Preferences::standard().setInteger(PreferenceKeys::firstWeekday, 3);
    EXPECT_EQ(CalSettings::firstWeekday(), 2);
}

} // namespace
