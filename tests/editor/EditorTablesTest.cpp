#include "editor/EditorTables.h"

#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace EditorTables;

TEST(EditorTablesTest, EachSeparatorHasOneChoiceAndOthersNone) {
    const QStringList values{"  ", " ", "   ", " \u00B7 ", " | ", ""};
    ASSERT_EQ(separators().size(), values.size());
    for (int tag = 0; tag < values.size(); ++tag) {
        EXPECT_EQ(separators()[tag].value, values[tag]);
        EXPECT_EQ(separatorTag(values[tag]), tag);
        EXPECT_NE(L(separators()[tag].titleKey), separators()[tag].titleKey);
    }
    EXPECT_EQ(separatorTag(" - "), std::nullopt);
    EXPECT_EQ(separatorTag(" \u00B7"), std::nullopt);
}

TEST(EditorTablesTest, ThePaletteOffersEveryTokenAndTheCaptionsAreLocalized) {
    const QList<ChipSection> sections = paletteSections();
    ASSERT_EQ(sections.size(), 4);
    EXPECT_EQ(sections[0].title, L("menubar.sec_time"));
    QList<int> counts;
    QStringList tokens;
    for (const ChipSection& section : sections) {
        counts.append(int(section.chips.size()));
        for (const Chip& chip : section.chips) {
            if (chip.isToken())
                tokens.append(chip.value);
        }
    }
    EXPECT_EQ(counts, (QList<int>{12, 17, 4, 8}));
    EXPECT_EQ(sections[2].chips.first(), Chip::token("flag"));
    EXPECT_EQ(sections[3].chips[3], Chip::text("\u00B7"));
    // Every token of the renderer is offered once, and a caption exists only where one is set.
    EXPECT_EQ(tokens.size(), MenuBarRenderer::tokens().size());
    int captioned = 0;
    for (const MenuBarRenderer::Token& token : MenuBarRenderer::tokens()) {
        EXPECT_TRUE(tokens.contains(token.name)) << token.name;
        if (const auto key = captionKey(token.name)) {
            ++captioned;
            EXPECT_NE(L(*key), *key);
        }
    }
    EXPECT_EQ(captioned, 13);
    EXPECT_EQ(captionKey("HH"), "cap.HH");
    EXPECT_EQ(captionKey("weekday"), std::nullopt);
}

TEST(EditorTablesTest, LanguagesAreTaggedFromOneAndNamedInTheUsersLanguage) {
    ASSERT_EQ(languageCodes().size(), 25);
    EXPECT_EQ(languageTag(std::nullopt), 0);
    EXPECT_EQ(languageTag(QString("fr")), 1);
    EXPECT_EQ(languageTag(QString("zh-Hans")), 10);
    EXPECT_EQ(languageTag(QString("id")), 25);
    EXPECT_EQ(languageTag(QString("xx")), 0); // unlisted: shown as the system's
    EXPECT_EQ(languageCode(0), std::nullopt);
    EXPECT_EQ(languageCode(3), "de");
    EXPECT_EQ(languageCode(26), std::nullopt);

    EXPECT_EQ(languageTitle("de", icu::Locale("en_US")), "German");
    EXPECT_EQ(languageTitle("zh-Hans", icu::Locale("en_US")), "Chinese (Simplified)");
    EXPECT_EQ(languageTitle("fr", icu::Locale("fr_FR")), "Français");
    EXPECT_EQ(languageTitle("nb", icu::Locale("fr_FR")), "Norvégien bokmål");
}

TEST(EditorTablesTest, PaddingRoundsHalvesAwayFromZeroAndNeverReadsMinusZero) {
    EXPECT_EQ(roundedPadding(7.5), 8);
    EXPECT_EQ(roundedPadding(-7.5), -8);
    EXPECT_EQ(roundedPadding(7.4), 7);
    EXPECT_FALSE(std::signbit(roundedPadding(-0.4)));
    EXPECT_EQ(paddingText(roundedPadding(-0.4)), "0 pt");
    EXPECT_EQ(paddingText(8), "8 pt");
    EXPECT_EQ(paddingText(-8), "-8 pt");
}

} // namespace
