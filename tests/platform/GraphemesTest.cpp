#include "platform/Graphemes.h"

#include "platform/IsoWeek.h"
#include "platform/SystemContext.h"

#include <unicode/timezone.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(GraphemesTest, CountsWhatAReaderSeesAsOneCharacter) {
    EXPECT_EQ(Graphemes::count(""), 0);
    EXPECT_EQ(Graphemes::count("CH"), 2);
    EXPECT_EQ(Graphemes::count(QString::fromUtf8("e\u0301t\u00e9")), 3);       // combining acute
    EXPECT_EQ(Graphemes::count(QString::fromUtf8("\U0001F1E8\U0001F1ED")), 1); // one flag
    EXPECT_EQ(Graphemes::count(QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467")),
              1); // a family joined by zero-width joiners
}

TEST(GraphemesTest, UpperCasesOnlyTheFirstGraphemeInTheGivenLanguage) {
    const icu::Locale english("en");
    EXPECT_EQ(Graphemes::upperCaseFirst("lundi", english), "Lundi");
    EXPECT_EQ(Graphemes::upperCaseFirst("mARS", english), "MARS"); // the rest is left alone
    EXPECT_EQ(Graphemes::upperCaseFirst("", english), "");
    EXPECT_EQ(Graphemes::upperCaseFirst("12", english), "12");
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("e\u0301t\u00e9"), english),
              QString::fromUtf8("E\u0301t\u00e9"));
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("\u00dfa"), english), "SSa");
    EXPECT_EQ(Graphemes::upperCaseFirst("istanbul", english), "Istanbul");
    EXPECT_EQ(Graphemes::upperCaseFirst("istanbul", icu::Locale("tr")),
              QString::fromUtf8("\u0130stanbul"));
}

TEST(SystemContextTest, ResolvesLanguagesAndZonesOrFallsBackToTheCurrentOnes) {
    EXPECT_STREQ(SystemContext::localeFor(std::nullopt).getName(), "en_US");
    EXPECT_STREQ(SystemContext::localeFor(QString("fr")).getName(), "fr");
    EXPECT_STREQ(SystemContext::localeFor(QString("de-CH")).getName(), "de_CH");

    icu::UnicodeString id;
    EXPECT_EQ(SystemContext::timeZoneFor(QString("Asia/Tokyo"))->getID(id), "Asia/Tokyo");
    EXPECT_EQ(SystemContext::timeZoneFor(QString("US/Pacific"))->getID(id), "US/Pacific");
    EXPECT_EQ(SystemContext::timeZoneFor(QString("Mars/Olympus"))->getID(id), "Europe/Paris");
    EXPECT_EQ(SystemContext::timeZoneFor(QString(""))->getID(id), "Europe/Paris");
    EXPECT_EQ(SystemContext::timeZoneFor(std::nullopt)->getID(id), "Europe/Paris");
}

TEST(IsoWeekTest, WeeksStartOnMondayAndFollowTheCalendarsZone) {
    const icu::Locale american("en_US"); // whose own weeks start on Sunday
    std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
    std::unique_ptr<icu::TimeZone> tokyo(icu::TimeZone::createTimeZone("Asia/Tokyo"));
    auto inUtc = IsoWeek::calendar(*utc, american);
    auto inTokyo = IsoWeek::calendar(*tokyo, american);

    const UDate newYear2021 = 1609459200000.0; // Friday 1 January 2021, 00:00 UTC
    EXPECT_EQ(IsoWeek::weekOfYear(*inUtc, newYear2021), 53);
    // Sunday 3 January 2021 20:00 UTC is already Monday morning in Tokyo.
    const UDate sundayEvening = newYear2021 + (2 * 24 + 20) * 3600000.0;
    EXPECT_EQ(IsoWeek::weekOfYear(*inUtc, sundayEvening), 53);
    EXPECT_EQ(IsoWeek::weekOfYear(*inTokyo, sundayEvening), 1);
    // Monday 29 December 2025 belongs to week 1 of 2026.
    EXPECT_EQ(IsoWeek::weekOfYear(*inUtc, 1766966400000.0), 1);
}

} // namespace
