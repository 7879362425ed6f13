#include "editor/EditorTables.h"

#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace EditorTables;

TEST(EditorTablesTest, ThePaletteOffersEveryTokenAndTitlesAndCaptionsAreLocalized) {
    const QList<ChipSection> sections = paletteSections();
    ASSERT_EQ(sections.size(), 4);
    EXPECT_EQ(sections[0].title, L("menubar.sec_time"));
    QStringList tokens;
    for (const ChipSection& section : sections) {
        for (const Chip& chip : section.chips) {
            if (chip.isToken())
                tokens.append(chip.value);
        }
    }
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

    for (const SeparatorChoice& choice : separators())
        EXPECT_NE(L(choice.titleKey), choice.titleKey);
    EXPECT_EQ(separatorTag(" \u00B7 "), 3);
    EXPECT_EQ(separatorTag(" - "), std::nullopt);
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
