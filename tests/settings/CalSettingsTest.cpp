#include "settings/CalSettings.h"

#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestProfile.h"

#include <gtest/gtest.h>

namespace {

using CalSettingsTest = ProfileTest;

TEST_F(CalSettingsTest, FlagsAreFalseUntilStoredAsBooleans) {
    EXPECT_FALSE(CalSettings::showInMenuBar());
    EXPECT_FALSE(CalSettings::showWeekNumbers());
    CalSettings::setShowInMenuBar(true);
    CalSettings::setShowWeekNumbers(true);
    EXPECT_EQ(Preferences::standard().objectForKey(PreferenceKeys::showInMenuBar)->typeId(),
              QMetaType::Bool);
    EXPECT_TRUE(CalSettings::showInMenuBar());
    EXPECT_TRUE(CalSettings::showWeekNumbers());
}

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

TEST_F(CalSettingsTest, IconFormatTellsAMissingKeyFromAStoredZero) {
    EXPECT_EQ(CalSettings::iconFormat(), CalIconFormat::weekdayDay);
    Preferences::standard().setInteger(PreferenceKeys::iconFormat, 0);
    EXPECT_EQ(CalSettings::iconFormat(), CalIconFormat::iconOnly);
    Preferences::standard().setInteger(PreferenceKeys::iconFormat, 5);
    EXPECT_EQ(CalSettings::iconFormat(), CalIconFormat::weekdayDay);
    CalSettings::setIconFormat(CalIconFormat::day);
    EXPECT_EQ(Preferences::standard().integerForKey(PreferenceKeys::iconFormat), 1);
    EXPECT_EQ(CalSettings::iconFormat(), CalIconFormat::day);
}

} // namespace
