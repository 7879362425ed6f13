#include "editor/ZoneMatching.h"

#include "harness/TestText.h"
#include "platform/SystemContext.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ZoneMatching::Resolution;
using Kind = ZoneMatching::Resolution::Kind;

TEST(ZoneMatchingTest, TheZonesAreEveryPlaceOnceUnderItsCurrentNameInOrder) {
    const QStringList& zones = ZoneMatching::knownZones();
    EXPECT_GT(zones.size(), 400);
    EXPECT_TRUE(std::is_sorted(zones.begin(), zones.end()));
    QStringList unique = zones;
    EXPECT_EQ(unique.removeDuplicates(), 0);
    for (const char* zone :
         {"Asia/Tokyo", "Europe/Paris", "America/Argentina/Buenos_Aires", "Asia/Kolkata", "UTC"})
        EXPECT_TRUE(zones.contains(zone)) << zone;
    for (const char* alias : {"Asia/Calcutta", "US/Pacific", "Etc/GMT+5", "Japan", "Factory"})
        EXPECT_FALSE(zones.contains(alias)) << alias;
    EXPECT_TRUE(std::all_of(zones.begin(), zones.end(), &SystemContext::isKnownTimeZone));
}

TEST(ZoneMatchingTest, TypedTextIsTheSystemZoneAZoneItNamesOrContainsOrNothing) {
    const QStringList zones{"America/New_York", "America/Sao_Paulo", "Asia/Tokyo",
                            "Europe/Paris",     "Europe/Vienna",     "Europe/Zurich"};
    const QStringList cities{"New York", "São Paulo", "Tokio", "Paris", "Wien", "Zürich"};
    const QStringList system{"System zone", "System time zone"};
    const auto resolve = [&](const QString& typed) {
        return ZoneMatching::resolve(typed, zones, cities, system);
    };
    const Resolution systemZone{Kind::systemZone, {}};
    EXPECT_EQ(resolve(""), systemZone);
    EXPECT_EQ(resolve(" \t"), systemZone);
    EXPECT_EQ(resolve("System zone"), systemZone);
    EXPECT_EQ(resolve("System time zone "), systemZone);
    EXPECT_EQ(resolve("Europe/Paris"), (Resolution{Kind::zone, "Europe/Paris"}));
    EXPECT_EQ(resolve("tokyo"), (Resolution{Kind::zone, "Asia/Tokyo"}));
    EXPECT_EQ(resolve("  europe/paris"), (Resolution{Kind::zone, "Europe/Paris"}));
    EXPECT_EQ(resolve("Europe/"), (Resolution{Kind::zone, "Europe/Paris"})); // first in order
    EXPECT_EQ(resolve("PA"), (Resolution{Kind::zone, "America/Sao_Paulo"}));
    EXPECT_EQ(resolve("xyz"), Resolution{});
    EXPECT_EQ(resolve("system"), Resolution{}); // only the exact spellings

    // As people write places: spaces for underscores, any case, any accents, the city's name.
    for (const char* typed : {"new york", "NEW YORK", "New-York"})
        EXPECT_EQ(resolve(typed), (Resolution{Kind::zone, "America/New_York"})) << typed;
    for (const char* typed : {"São Paulo", "sao paulo"})
        EXPECT_EQ(resolve(typed), (Resolution{Kind::zone, "America/Sao_Paulo"})) << typed;
    EXPECT_EQ(resolve("Zürich"), (Resolution{Kind::zone, "Europe/Zurich"}));
    EXPECT_EQ(resolve("wien"), (Resolution{Kind::zone, "Europe/Vienna"}));
    EXPECT_EQ(resolve("San Francisco"), Resolution{});
    EXPECT_EQ(resolve("!?"), Resolution{}) << "nothing left to search for finds nothing";
}

TEST(ZoneMatchingTest, SearchKeysDropCaseAccentsAndPunctuationAndCitiesComeFromIcu) {
    EXPECT_EQ(ZoneMatching::searchKey("America/Sao_Paulo"), "america sao paulo");
    EXPECT_EQ(ZoneMatching::searchKey("  São-PAULO "), "sao paulo");
    EXPECT_EQ(ZoneMatching::searchKey("N'Djamena"), "ndjamena");
    EXPECT_EQ(ZoneMatching::searchKey("Straße"), "strasse");

    const QStringList zones{"America/New_York", "Asia/Kolkata", "Europe/Vienna", "UTC"};
    EXPECT_EQ(ZoneMatching::exemplarCities(zones, icu::Locale("en")),
              (QStringList{"New York", "Kolkata", "Vienna", ""}));
    EXPECT_EQ(ZoneMatching::exemplarCities(zones, icu::Locale("de")).at(2), "Wien");
}

} // namespace
