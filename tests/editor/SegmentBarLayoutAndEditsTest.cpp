#include "editor/PopoverPlacement.h"
#include "editor/SegmentBarEdits.h"
#include "editor/SegmentBarLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace SegmentBarLayout;
using namespace SegmentBarEdits;

TEST(SegmentBarLayoutTest, SegmentsHugTheRightEndSpacedByTheRoundedUpSeparator) {
    const QSizeF bar(748, 40);
    EXPECT_EQ(frames({40.2}, 0, bar), QList{QRectF(675, 7, 61, 26)});
    // Blank and narrow labels take the least width; the gap is never below 6.
    EXPECT_EQ(frames({std::nullopt, 4.0, 50.01}, 8.3, bar),
              (QList{QRectF(587, 7, 30, 26), QRectF(626, 7, 30, 26), QRectF(665, 7, 71, 26)}));
    EXPECT_EQ(frames({10, 10}, 0, bar)[1].left() - frames({10, 10}, 0, bar)[0].right(), 6);
    // A row too long starts 12 from the left end and runs past the right end.
    const QList<QRectF> tooLong = frames({300, 300}, 0, QSizeF(500, 41));
    EXPECT_EQ(tooLong[0].topLeft(), QPointF(12, 7.5));
    EXPECT_GT(tooLong[1].right(), 500);
}

TEST(SegmentBarLayoutTest, BlankMeansOnlySpaceSeparatorsAndTabs) {
    for (const QString& blank : {QString(), QString("   "), QStringLiteral(u"\t\u00a0\u2009")})
        EXPECT_TRUE(isBlank(blank));
    EXPECT_FALSE(isBlank(" · "));
}

TEST(SegmentBarLayoutTest, PointsFindSegmentsHalvesInsertionPositionsAndTheMarker) {
    const QList<QRectF> row = {QRectF(100, 7, 40, 26), QRectF(150, 7, 60, 26)};
    EXPECT_EQ(hitAt(row, {110, 20}), (Hit{0, Half::left}));
    EXPECT_EQ(hitAt(row, {120, 20}), (Hit{0, Half::right})); // the centre itself
    EXPECT_EQ(hitAt(row, {145, 20}), std::nullopt);          // in the gap
    EXPECT_EQ(hitAt(row, {120, 3}), std::nullopt);
    for (const auto& [x, index] : {std::pair(5, 0), {119, 0}, {120, 1}, {179, 1}, {180, 2}})
        EXPECT_EQ(insertionIndex(row, QPointF(x, 20)), index) << x;

    const QSizeF bar(748, 40);
    EXPECT_EQ(insertionMarker(row, 1, bar), QRectF(145, 7, 2, 26));
    EXPECT_EQ(insertionMarker(row, 2, bar), QRectF(213, 7, 2, 26));
    EXPECT_EQ(insertionMarker({}, 0, QSizeF(300, 50)), QRectF(283, 7, 2, 36));
}

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

const QRect screen(0, 0, 1280, 800);
const QSize popover(460, 110);

TEST(PopoverPlacementTest, ThePopoverHangsCentredUnderItsAnchorInsideTheScreen) {
    EXPECT_EQ(PopoverPlacement::origin({600, 100, 60, 26}, popover, screen), QPoint(400, 130));
    EXPECT_EQ(PopoverPlacement::origin({10, 100, 60, 26}, popover, screen), QPoint(0, 130));
    EXPECT_EQ(PopoverPlacement::origin({1250, 100, 30, 26}, popover, screen), QPoint(820, 130));
    // No room below: above the anchor; no room either way: below.
    EXPECT_EQ(PopoverPlacement::origin({600, 700, 60, 26}, popover, screen), QPoint(400, 586));
    EXPECT_EQ(PopoverPlacement::origin({600, 50, 60, 26}, popover, QRect(0, 0, 1280, 150)),
              QPoint(400, 80));
}

} // namespace
