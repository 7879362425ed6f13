#include "editor/EditorTables.h"

#include "harness/TestText.h"
#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace EditorTables;

// Every token of the renderer is offered once and described, and every caption and title the
// editor names has a text in the string tables (which all hold the same keys).
TEST(EditorTablesTest, ThePaletteOffersEveryTokenAndItsTextsAreLocalized) {
    const QList<ChipSection> sections = paletteSections();
    EXPECT_EQ(sections[0].title, L("menubar.sec_time"));
    QStringList tokens;
    for (const ChipSection& section : sections) {
        for (const Chip& chip : section.chips) {
            if (chip.isToken())
                tokens.append(chip.value);
        }
    }
    EXPECT_EQ(tokens.size(), MenuBarRenderer::tokens().size());
    for (const MenuBarRenderer::Token& token : MenuBarRenderer::tokens()) {
        EXPECT_TRUE(tokens.contains(token.name)) << token.name;
        EXPECT_NE(L(token.descriptionKey), token.descriptionKey);
        if (const auto key = captionKey(token.name)) {
            EXPECT_NE(L(*key), *key);
        }
    }
    for (const SeparatorChoice& choice : separators())
        EXPECT_NE(L(choice.titleKey), choice.titleKey);
}

TEST(EditorTablesTest, LanguagesAreTaggedFromOneAndNamedInTheUsersLanguage) {
    for (int tag = 1; tag <= languageCodes().size(); ++tag)
        EXPECT_EQ(languageTag(languageCode(tag)), tag);
    EXPECT_EQ(languageTag(std::nullopt), 0);
    EXPECT_EQ(languageTag(QString("xx")), 0); // unlisted: shown as the system's
    EXPECT_EQ(languageCode(0), std::nullopt);
    EXPECT_EQ(languageCode(int(languageCodes().size()) + 1), std::nullopt);

    EXPECT_EQ(languageTitle("zh-Hans", icu::Locale("en_US")), "Chinese (Simplified)");
    EXPECT_EQ(languageTitle("fr", icu::Locale("fr_FR")), "Français");
    EXPECT_EQ(languageTitle("nb", icu::Locale("fr_FR")), "Norvégien bokmål");
}

TEST(EditorTablesTest, PaddingRoundsHalvesAwayFromZeroAndNeverReadsMinusZero) {
    EXPECT_EQ(roundedPadding(7.5), 8);
    EXPECT_EQ(roundedPadding(7.4), 7);
    EXPECT_FALSE(std::signbit(roundedPadding(-0.4)));
    EXPECT_EQ(paddingText(roundedPadding(-0.4)), "0 pt");
}

} // namespace
