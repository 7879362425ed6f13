#include "model/Places.h"

#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "model/MenuBarRenderer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Countries = QHash<QString, QString>;

class PlacesTest : public ::testing::Test {
protected:
    QString table(const QString& name, const QByteArray& bytes) {
        const QString path = m_folder.path() + "/" + name;
        writeFile(path, bytes);
        return path;
    }

    QTemporaryDir m_folder;
};

TEST_F(PlacesTest, TheFirstLineNamingAZoneWinsAcrossAndWithinTheTables) {
    const QString zoneTab =
        table("zone.tab", "# comment\tline\twith\ttabs\n"
                          "\n"
                          "DE\t+5230+01322\tEurope/Berlin\n"
                          "XX\t+0000+00000\tEurope/Berlin\n"
                          "AR\t-3436-05827\tAmerica/Argentina/Buenos_Aires\tcity\n");
    const QString zone1970 = table("zone1970.tab", "CH,DE,LI\t+4723+00832\tEurope/Zurich\n"
                                                   "AT\t+4813+01620\tEurope/Berlin\n"
                                                   ",,NL\t+5222+00454\tEurope/Amsterdam");
    // The first code of a list, or its first non-empty one; the last line needs no line feed.
    EXPECT_EQ(Places::readCountryByZone({zoneTab, zone1970}),
              (Countries{{"Europe/Berlin", "DE"},
                         {"America/Argentina/Buenos_Aires", "AR"},
                         {"Europe/Zurich", "CH"},
                         {"Europe/Amsterdam", "NL"}}));
}

TEST_F(PlacesTest, SkipsMalformedLinesAndFilesThatCannotBeRead) {
    const QString zoneTab = table("zone.tab", "CHE\t+4723+00832\tEurope/Zurich\n"
                                              "CH\tEurope/Zurich\n"
                                              "\t+4723+00832\tEurope/Zurich\n"
                                              "C\t+1\tEurope/Short\n"
                                              "AR\t\tAmerica/Cordoba\t\n"
                                              "LI\t+4709+00931\tEurope/Zurich\n");
    const QString latin1 = table("latin1.tab", "CH\t+1\tEurope/Z\xfcrich\nDE\t+1\tEurope/Berlin\n");
    const QString missing = m_folder.path() + "/missing.tab";
    // A skipped line does not claim its zone: the next valid line still counts. Empty fields
    // are kept. A file that is not UTF-8 is skipped whole.
    EXPECT_EQ(Places::readCountryByZone({missing, zoneTab, latin1}),
              (Countries{{"Europe/Zurich", "LI"}, {"America/Cordoba", "AR"}}));
}

TEST(PlacesFlagTest, ShiftsEachLetterToItsRegionalIndicator) {
    EXPECT_EQ(Places::flagForCountry("CH"), QString::fromUtf8("\U0001F1E8\U0001F1ED"));
    EXPECT_EQ(Places::flagForCountry("th"), flagOf("TH"));
    EXPECT_EQ(Places::flagForCountry(""), QString());
    // A scalar that would be shifted past U+10FFFF gives no flag.
    const char32_t high = 0x10FFFD;
    EXPECT_EQ(Places::flagForCountry("A" + QString::fromUcs4(&high, 1)), std::nullopt);
}

} // namespace
