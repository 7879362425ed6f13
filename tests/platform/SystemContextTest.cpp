#include "platform/SystemContext.h"

#include "support/TestProfile.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemContextTest, PosixLocaleNamesAndTzValuesBecomeIcuIds) {
    EXPECT_EQ(SystemContext::localeIDFromPosix("sr_RS.UTF-8@latin"), "sr_RS");
    EXPECT_EQ(SystemContext::localeIDFromPosix("C"), "en_US_POSIX");
    EXPECT_EQ(SystemContext::localeIDFromPosix(""), "en_US_POSIX");
    EXPECT_EQ(SystemContext::zoneIDFromTZ(":Europe/Zurich"), "Europe/Zurich");
    EXPECT_EQ(SystemContext::zoneIDFromTZ("/usr/share/zoneinfo/America/New_York"),
              "America/New_York");
}

TEST(SystemContextTest, ReloadingPicksUpTheEnvironment) {
    {
        ScopedEnvironment tz("TZ", "Asia/Kolkata");
        ScopedEnvironment lang("LANG", "de_CH.UTF-8");
        ScopedEnvironment time("LC_TIME", "ja_JP.UTF-8");
        SystemContext::reloadFromEnvironment();
        EXPECT_EQ(SystemContext::currentTimeZoneID(), "Asia/Kolkata");
        EXPECT_EQ(SystemContext::currentLocaleID(), "ja_JP"); // dates follow LC_TIME
        EXPECT_EQ(SystemContext::preferredLanguages(), QStringList{"de-CH"});
    }
    SystemContext::reloadFromEnvironment();
    EXPECT_EQ(SystemContext::currentTimeZoneID(), "Europe/Paris");
}

} // namespace
