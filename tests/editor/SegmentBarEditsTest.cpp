#include "editor/SegmentBarEdits.h"

#include <gtest/gtest.h>

namespace {

using namespace SegmentBarEdits;
using SegmentBarLayout::Half;

QList<MenuBarPart> parts(const QStringList& texts) {
    QList<MenuBarPart> result;
    for (const QString& text : texts)
        result.append(MenuBarPart{text, "Asia/Bangkok"});
    return result;
}

TEST(SegmentBarEditsTest, AMovedPartLandsAtTheInsertionPositionAndIsSelected) {
    const QList<MenuBarPart> abc = parts({"A", "B", "C"});
    EXPECT_EQ(moved(abc, 0, 3), (Edit{parts({"B", "C", "A"}), 2}));
    EXPECT_EQ(moved(abc, 2, 0), (Edit{parts({"C", "A", "B"}), 0}));
    EXPECT_EQ(moved(abc, 0, 2), (Edit{parts({"B", "A", "C"}), 1}));
    EXPECT_EQ(moved(abc, 1, 2), (Edit{abc, 1})); // beside itself: no change
}

TEST(SegmentBarEditsTest, AChipOnARightHalfIsAppendedAndOnALeftHalfPutInFront) {
    const auto onto = [](const QString& text, Half half, const Chip& chip) {
        const Edit edit = chipDroppedOnto(parts({"x", text}), {1, half}, chip);
        EXPECT_EQ(edit.selected, 1);
        EXPECT_EQ(edit.parts[1].timeZoneID, "Asia/Bangkok");
        return edit.parts[1].text;
    };
    EXPECT_EQ(onto("{HH}:", Half::right, Chip::token("min")), "{HH}: {min}");
    EXPECT_EQ(onto("{HH}:{min}", Half::left, Chip::token("wd")), "{wd} {HH}:{min}");
    EXPECT_EQ(onto("{HH}:{min}", Half::left, Chip::composite("S{week}")), "S{week} {HH}:{min}");
    EXPECT_EQ(onto("{HH}:{min}", Half::left, Chip::text("~")), "~{HH}:{min}");
    EXPECT_EQ(onto("", Half::left, Chip::token("wd")), "{wd}");
    EXPECT_EQ(onto(" {HH}", Half::left, Chip::token("wd")), "{wd} {HH}");
}

TEST(SegmentBarEditsTest, AChipBetweenSegmentsIsANewPartAndRemovalKeepsOne) {
    const Edit inserted = chipInserted(parts({"A", "B"}), 1, Chip::composite("{HH}:{min}"));
    EXPECT_EQ(inserted.parts[1], MenuBarPart{"{HH}:{min}"});
    EXPECT_EQ(inserted.selected, 1);
    EXPECT_EQ(chipInserted({}, 3, Chip::token("wd")), (Edit{{MenuBarPart{"{wd}"}}, 0}));

    EXPECT_EQ(removed(parts({"A", "B"}), 0), parts({"B"}));
    EXPECT_EQ(removed(parts({"A"}), 0), std::nullopt);
    EXPECT_EQ(removed(parts({"A", "B"}), 2), std::nullopt);
}

} // namespace
