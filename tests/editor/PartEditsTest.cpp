#include "editor/PartEdits.h"

#include "harness/TestText.h"

#include <gtest/gtest.h>

namespace {

using namespace PartEdits;
using Parts = QList<MenuBarPart>;
using std::nullopt;

// A single-template item of its own zone and language.
MenuBarItem templateItem(const QString& text) {
    return itemOf(text, QString("Asia/Tokyo"), QString("ja"));
}

TEST(PartEditsTest, EditingASingleTemplateItemGivesItOneStoredPartAndKeepsItsTemplate) {
    const MenuBarItem single = templateItem("{HH}:{min}");
    const Appended appended = chipAppended(single, nullopt, nullopt, Chip::token("sec"));
    EXPECT_EQ(appended.part, 0);
    EXPECT_EQ(appended.item.parts, (Parts{{"{HH}:{min} {sec}", "Asia/Tokyo", "ja"}}));
    EXPECT_EQ(appended.item.templateText, single.templateText);
    EXPECT_EQ(appended.item.timeZoneID, single.timeZoneID);

    EXPECT_EQ(separatorSet(single, " - ").parts, single.effectiveParts());
    MenuBarItem emptyParts = partsItem({});
    EXPECT_EQ(separatorSet(emptyParts, "").parts, Parts{}); // present but empty: left so
    EXPECT_EQ(partTextSet(single, 0, "x")->parts, (Parts{{"x", "Asia/Tokyo", "ja"}}));
    EXPECT_EQ(partTextSet(single, 1, "x"), nullopt);

    // Its one part cannot be removed; a part's own value equal to the one it has is no edit.
    EXPECT_EQ(partRemoved(single, 0), nullopt);
    EXPECT_EQ(partZoneSet(single, 0, QString("Asia/Tokyo")), nullopt);
    EXPECT_EQ(partZoneSet(single, 0, nullopt)->parts, (Parts{{"{HH}:{min}", nullopt, "ja"}}));
}

// Where the spacing goes is the chip's rule, tested with it.
TEST(PartEditsTest, AChipGoesToTheEditedPartElseTheSelectedSegmentElseTheLast) {
    const MenuBarItem item = partsItem({"{HH}:{min}", "", "{wd} "});
    EXPECT_EQ(targetPart(7, nullopt, 3), 2);
    EXPECT_EQ(targetPart(nullopt, nullopt, 0), nullopt);
    const auto append = [&](std::optional<int> editing, std::optional<int> selected,
                            const Chip& chip) {
        const Appended appended = chipAppended(item, editing, selected, chip);
        return appended.item.parts->at(appended.part).text;
    };
    EXPECT_EQ(append(nullopt, 0, Chip::token("sec")), "{HH}:{min} {sec}");
    EXPECT_EQ(append(1, 0, Chip::token("HH")), "{HH}");
    EXPECT_EQ(append(nullopt, nullopt, Chip::composite("{day} {mon}")), "{wd} {day} {mon}");
}

TEST(PartEditsTest, PartsAreAddedUpToSixAndRemovedDownToOne) {
    EXPECT_EQ(partAdded(templateItem("{wd}"))->parts,
              (Parts{{"{wd}", "Asia/Tokyo", "ja"}, {"{HH}:{min}"}}));
    const auto six = partAdded(partsItem({"1", "2", "3", "4", "5"}));
    ASSERT_TRUE(six);
    EXPECT_EQ(six->parts->last(), MenuBarPart{"{HH}:{min}"});
    EXPECT_EQ(partAdded(*six), nullopt);

    EXPECT_EQ(partRemoved(partsItem({"A", "B"}), 0)->parts, Parts{{"B"}});
    EXPECT_EQ(partRemoved(partsItem({"A", "B"}), 2), nullopt);
    EXPECT_EQ(partRemoved(partsItem({"A"}), 0), nullopt);

    EXPECT_EQ(clampedSegment(4, partsItem({"A", "B"})), 1);
    EXPECT_EQ(clampedSegment(0, partsItem({"A", "B"})), 0);
    EXPECT_EQ(clampedSegment(3, templateItem("x")), 0);
    EXPECT_EQ(clampedSegment(nullopt, templateItem("x")), nullopt);
}

TEST(PartEditsTest, PresetsZonesAndLanguagesReplaceWhatTheySet) {
    const MenuBarItem item = partsItem({"A", "B"});
    const MenuBarLayout::Preset iconOnly{{}, "  "};
    const MenuBarItem blank = presetApplied(item, iconOnly);
    EXPECT_EQ(blank.parts, Parts{{""}});
    EXPECT_EQ(blank.separator, "  ");
    const MenuBarLayout::Preset two{{{"{wd}"}, {"{HH}", QString("Europe/Zurich")}}, " \u00B7 "};
    EXPECT_EQ(presetApplied(item, two).parts, two.parts);
    EXPECT_EQ(presetApplied(item, two).separator, two.separator);

    const auto inTokyo = partZoneSet(item, 1, QString("Asia/Tokyo"));
    ASSERT_TRUE(inTokyo);
    EXPECT_EQ(inTokyo->parts, (Parts{{"A"}, {"B", "Asia/Tokyo"}}));
    EXPECT_EQ(partZoneSet(*inTokyo, 1, QString("Asia/Tokyo")), nullopt);
    EXPECT_EQ(partZoneSet(item, 2, QString("Asia/Tokyo")), nullopt);
    const auto german = partLanguageSet(*inTokyo, 1, QString("de"));
    EXPECT_EQ(german->parts, (Parts{{"A"}, {"B", "Asia/Tokyo", "de"}}));
    EXPECT_EQ(partLanguageSet(*german, 1, nullopt)->parts, inTokyo->parts);
}

} // namespace
