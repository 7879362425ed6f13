#include "model/Places.h"

#include "model/MenuBarRenderer.h"
#include "support/TestProfile.h"
#include "support/TestText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PlacesTest : public ::testing::Test {
protected:
    QString table(const QString& name, const QByteArray& bytes) {
        const QString path = m_folder.path() + "/" + name;
        writeFile(path, bytes);
        return path;
    }
    QString missing() const { return m_folder.path() + "/missing.tab"; }

    QTemporaryDir m_folder;
};

TEST_F(PlacesTest, ReadsZonesAndCountriesFromTheTabSeparatedTables) {
    const QString zoneTab =
        table("zone.tab", "# comment\tline\twith\ttabs\n"
                          "\n"
                          "CH\t+4723+00832\tEurope/Zurich\n"
                          "AR\t-3436-05827\tAmerica/Argentina/Buenos_Aires\tcity\n"
                          "TH\t+1345+10031\tAsia/Bangkok");
    const auto countries = Places::readCountryByZone({zoneTab});
    EXPECT_EQ(countries.size(), 3);
    EXPECT_EQ(countries.value("Europe/Zurich"), "CH");
    EXPECT_EQ(countries.value("America/Argentina/Buenos_Aires"), "AR");
    EXPECT_EQ(countries.value("Asia/Bangkok"), "TH"); // last line without a line feed
}

TEST_F(PlacesTest, TheFirstLineNamingAZoneWinsAcrossAndWithinFiles) {
    const QString zoneTab = table("zone.tab", "DE\t+5230+01322\tEurope/Berlin\n"
                                              "XX\t+0000+00000\tEurope/Berlin\n");
    const QString zone1970 = table("zone1970.tab", "CH,DE,LI\t+4723+00832\tEurope/Zurich\n"
                                                   "AT\t+4813+01620\tEurope/Berlin\n"
                                                   ",,NL\t+5222+00454\tEurope/Amsterdam\n");
    const auto countries = Places::readCountryByZone({zoneTab, zone1970});
    EXPECT_EQ(countries.value("Europe/Berlin"), "DE");
    EXPECT_EQ(countries.value("Europe/Zurich"), "CH");    // the first code of a list
    EXPECT_EQ(countries.value("Europe/Amsterdam"), "NL"); // the first non-empty one
}

TEST_F(PlacesTest, SkipsMalformedLinesAndCodesThatAreNotTwoCharacters) {
    const QString zoneTab = table("zone.tab", "CHE\t+4723+00832\tEurope/Zurich\n"
                                              "CH\tEurope/Zurich\n"
                                              "\t+4723+00832\tEurope/Zurich\n"
                                              "C\t+1\tEurope/Short\n"
                                              "AR\t\tAmerica/Cordoba\t\n"
                                              "LI\t+4709+00931\tEurope/Zurich\n");
    const auto countries = Places::readCountryByZone({zoneTab});
    // A skipped line does not claim its zone: the next valid line still counts.
    EXPECT_EQ(countries.value("Europe/Zurich"), "LI");
    EXPECT_EQ(countries.value("America/Cordoba"), "AR"); // empty fields are kept
    EXPECT_FALSE(countries.contains("Europe/Short"));
    EXPECT_EQ(countries.size(), 2);
}

TEST_F(PlacesTest, UnreadableOrUndecodableFilesAreSkippedSilently) {
    const QString latin1 = table("zone.tab", "CH\t+1\tEurope/Z\xfcrich\nDE\t+1\tEurope/Berlin\n");
    const QString zone1970 = table("zone1970.tab", "FR\t+1\tEurope/Paris\n");
    const auto countries = Places::readCountryByZone({missing(), latin1, zone1970});
    EXPECT_EQ(countries.size(), 1);
    EXPECT_EQ(countries.value("Europe/Paris"), "FR");
    EXPECT_TRUE(Places::readCountryByZone({missing()}).isEmpty());
}

TEST(PlacesFlagTest, ShiftsEachLetterToItsRegionalIndicator) {
    EXPECT_EQ(Places::flagForCountry("CH"), QString::fromUtf8("\U0001F1E8\U0001F1ED"));
    EXPECT_EQ(Places::flagForCountry("th"), flagOf("TH"));
    EXPECT_EQ(Places::flagForCountry(""), QString());
    // A scalar that would be shifted past U+10FFFF gives no flag.
    const char32_t high = 0x10FFFD;
    EXPECT_EQ(Places::flagForCountry("A" + QString::fromUcs4(&high, 1)), std::nullopt);
}

TEST(PlacesCityTest, TakesTheLastPieceWithSpacesForUnderscores) {
    EXPECT_EQ(MenuBarRenderer::cityName("America/Argentina/Buenos_Aires"), "Buenos Aires");
    EXPECT_EQ(MenuBarRenderer::cityName("America/Port_of_Spain/"), "Port of Spain");
    EXPECT_EQ(MenuBarRenderer::cityName("/"), "/");
}

} // namespace
