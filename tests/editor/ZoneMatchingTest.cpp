#include "editor/ZoneMatching.h"

#include "platform/SystemContext.h"
#include "support/TestText.h"

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
    const QStringList zones{"America/Sao_Paulo", "Asia/Tokyo", "Europe/Paris", "Europe/Zurich"};
    const QStringList system{"System zone", "System time zone"};
    const auto resolve = [&](const QString& typed) {
        return ZoneMatching::resolve(typed, zones, system);
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
}

} // namespace
