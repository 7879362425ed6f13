#include "editor/EditorTables.h"

#include "editor/ChipPayload.h"
#include "editor/EmojiRuns.h"
#include "harness/TestText.h"
#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"

#include <gtest/gtest.h>

#include <cmath>

namespace EmojiRuns {
void PrintTo(const Run& run, std::ostream* out) {
    *out << (run.emoji ? "emoji " : "text ") << run.text;
}
} // namespace EmojiRuns

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

using ChipPayload::Payload;

TEST(ChipPayloadTest, EveryKindReadsBackWithBarsInsideTheChip) {
    for (const Payload& payload :
         {Payload{3, 0, Chip::token("HH")}, Payload{12, 7, Chip::text("a|b|")},
          Payload{1, 2, Chip::composite("{HH}:{min}")}, Payload{4, 1, Chip::text("")}}) {
        const QString text = ChipPayload::encode(payload);
        EXPECT_EQ(ChipPayload::decode(text), payload) << text;
    }
    EXPECT_EQ(ChipPayload::encode({5, 2, Chip::token("min")}), "5|2|t:min");
}

// Malformed or foreign text under our type is no payload at all.
TEST(ChipPayloadTest, AnythingElseIsRefused) {
    for (const char* text :
         {"", "5|t:min", "|2|t:min", "5||t:min", "x|2|t:min", "5|-2|t:min", "5|+2|t:min",
          "5|2|y:min", "5|2|min", "5 |2|t:min", "99999999999999999999|2|t:min", "hello"})
        EXPECT_FALSE(ChipPayload::decode(text)) << text;
}

using Runs = QList<EmojiRuns::Run>;

TEST(EmojiRunsTest, EmojiGraphemesStayWholeAndApartFromTheTextAroundThem) {
    const QString family = QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString keycap = QString::fromUtf8("1\uFE0F\u20E3");
    EXPECT_EQ(EmojiRuns::split(flagOf("AR") + " Buenos Aires 10:07:09"),
              (Runs{{flagOf("AR"), true}, {" Buenos Aires 10:07:09", false}}));
    EXPECT_EQ(EmojiRuns::split("a" + flagOf("CH") + flagOf("TH") + family + "b" + keycap),
              (Runs{{"a", false},
                    {flagOf("CH") + flagOf("TH") + family, true},
                    {"b", false},
                    {keycap, true}}));
    EXPECT_EQ(EmojiRuns::split("12:07 \u05E9\u05DC\u05D5\u05DD"),
              (Runs{{"12:07 \u05E9\u05DC\u05D5\u05DD", false}}));
    EXPECT_TRUE(EmojiRuns::split("").isEmpty());
}

TEST(EmojiRunsTest, RunsThatDoNotFitTogetherLeaveRoomForTheEllipsis) {
    EXPECT_EQ(EmojiRuns::wholeRuns({10, 20, 30}, 60, 5), 3);
    EXPECT_EQ(EmojiRuns::wholeRuns({10, 20, 30}, 59, 5), 2);
    EXPECT_EQ(EmojiRuns::wholeRuns({10, 20, 30}, 34, 5), 1);
    EXPECT_EQ(EmojiRuns::wholeRuns({50}, 40, 5), 0);
    EXPECT_EQ(EmojiRuns::wholeRuns({}, 0, 5), 0);
}

} // namespace
