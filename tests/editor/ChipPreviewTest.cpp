#include "editor/ChipPreview.h"

#include "harness/TestText.h"
#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

using std::nullopt;

// Monday 5 January 2026, 14:07:09 in Paris: 22:07 in Tokyo.
const QDateTime monday(QDate(2026, 1, 5), QTime(14, 7, 9), QTimeZone("Europe/Paris"));

MenuBarItem item() {
    MenuBarItem made{QUuid::createUuid(), true, "", QString("Europe/Paris"), QString("en")};
    made.parts = QList<MenuBarPart>{{"{HH}"}, {"{wd}", QString("Asia/Tokyo"), QString("de")}};
    return made;
}

QString label(const Chip& chip, std::optional<int> part = nullopt, bool caption = false) {
    return ChipPreview::chipLabel(chip, item(), part, caption, monday);
}

TEST(ChipPreviewTest, ChipsShowTheirValuesInThePartsZoneAndLanguageWithCaptionsWhenAsked) {
    EXPECT_EQ(label(Chip::token("HH")), "14");
    EXPECT_EQ(label(Chip::token("HH"), nullopt, true), "14 \u00B7 " + L("cap.HH"));
    EXPECT_EQ(label(Chip::token("HH"), 1), "22");
    EXPECT_EQ(label(Chip::token("weekday"), 1), "Montag");
    EXPECT_EQ(label(Chip::token("HH"), 2), "14");                 // no such part: the item's
    EXPECT_EQ(label(Chip::token("flag"), 1, true), flagOf("JP")); // no caption for it
    // A token without a value shows its braces: unknown, or empty (UTC has no flag).
    EXPECT_EQ(label(Chip::token("foo"), nullopt, true), "{foo}");
    MenuBarItem utc = item();
    utc.timeZoneID = "UTC";
    EXPECT_EQ(ChipPreview::chipLabel(Chip::token("flag"), utc, 0, true, monday), "{flag}");

    EXPECT_EQ(label(Chip::composite("{HH}:{min}"), 1), "22:07");
    EXPECT_EQ(label(Chip::composite("S{week}")), "S2");
    EXPECT_EQ(label(Chip::text("{HH} [a|b]")), "{HH} [a|b]");
}

TEST(ChipPreviewTest, TooltipsExplainWhatAChipStandsFor) {
    EXPECT_EQ(ChipPreview::chipTooltip(Chip::composite("{HH}:{min}")), "HH:min");
    EXPECT_EQ(ChipPreview::chipTooltip(Chip::token("wd")), L("token.wd"));
    EXPECT_EQ(ChipPreview::chipTooltip(Chip::token("Wd")), nullopt);
    EXPECT_EQ(ChipPreview::chipTooltip(Chip::text("   ")), L("menubar.chip_space", 3));
    EXPECT_EQ(ChipPreview::chipTooltip(Chip::text("")), L("menubar.chip_space", 0));
    EXPECT_EQ(ChipPreview::chipTooltip(Chip::text(" / ")), " / ");
}

TEST(ChipPreviewTest, RowsAndPresetsPreviewTheItemAndBlankOnesReadAsIconOnly) {
    EXPECT_EQ(ChipPreview::rowText(item(), monday), "14  Mo.");
    MenuBarItem blank = item();
    blank.parts = QList<MenuBarPart>{{" "}, {"\t"}};
    EXPECT_EQ(ChipPreview::rowText(blank, monday), L("menubar.icon_only"));
    blank.parts = QList<MenuBarPart>{{"  {HH} "}};
    EXPECT_EQ(ChipPreview::rowText(blank, monday), "14");

    const QList<MenuBarLayout::Preset>& presets = MenuBarLayout::presets();
    EXPECT_EQ(ChipPreview::presetTitle(item(), presets[6], monday), "Mon 5 \u00B7 14:07");
    EXPECT_EQ(ChipPreview::presetTitle(item(), presets[10], monday),
              flagOf("TH") + " 20:07  " + flagOf("CH") + " 14:07  Mon 5 Jan");
    EXPECT_EQ(ChipPreview::presetTitle(item(), presets.last(), monday), L("menubar.icon_only"));
}

} // namespace
