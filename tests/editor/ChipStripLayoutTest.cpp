#include "editor/ChipStripLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(ChipStripLayoutTest, ChipsOfSpacesAreSizedByTheirDotsAndOthersByTheirLabel) {
    const auto label = [](qreal width) { return [width] { return width; }; };
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::text("   "), label(99)), 26);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::text(""), label(99)), 8);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::text(" · "), label(20.2)), 35);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::token("  "), label(30)), 44);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::token("HH"), label(3)), 22);
}

TEST(ChipStripLayoutTest, RowsWrap27PointsLowerAndSectionTitlesStandAboveTheirChips) {
    // The first chip of a row never wraps, however wide.
    const ChipStripLayout wrapping({40, 40, 40, 200, 10}, {}, 100, true);
    EXPECT_EQ(
        wrapping.frames(),
        (QList<QRectF>{
            {5, 5, 40, 22}, {50, 5, 40, 22}, {5, 32, 40, 22}, {5, 59, 200, 22}, {5, 86, 10, 22}}));
    EXPECT_EQ(wrapping.requiredHeight(), 113);
    EXPECT_EQ(ChipStripLayout({40, 40, 40}, {}, 100, false).frames().last(), QRectF(95, 5, 40, 22));

    // The first section wraps; the next title is 33 points below the top of its last row.
    const QList<ChipSection> sections{{"Time", QList<Chip>(3, Chip::token("HH"))},
                                      {"Date", QList<Chip>(2, Chip::token("HH"))}};
    const ChipStripLayout titled({40, 40, 40, 30, 30}, sections, 100, true);
    EXPECT_EQ(titled.headers(), (QList<ChipStripLayout::Header>{{"Time", {7, 5, 86, 14}},
                                                                {"Date", {7, 81, 86, 14}}}));
    EXPECT_EQ(titled.frames().at(0), QRectF(5, 21, 40, 22));
    EXPECT_EQ(titled.frames().at(2), QRectF(5, 48, 40, 22));
    EXPECT_EQ(titled.frames().at(4), QRectF(40, 97, 30, 22));
    // A last section without chips still has room for its title.
    EXPECT_EQ(ChipStripLayout({40}, {sections[0], {"Empty", {}}}, 100, false).requiredHeight(), 73);
}

TEST(ChipStripLayoutTest, ADropGoesBeforeTheFirstChipOfItsRowWhoseMiddleIsRightOfIt) {
    // Rows: [0: 5–45, 1: 50–90] at y 5–27, [2: 5–85, 3: 90–130] at y 32–54.
    const ChipStripLayout wrapping({40, 40, 80, 40}, {}, 140, true);
    const QList<std::pair<QPointF, qsizetype>> drops{
        {{10, 10}, 0},
        {{60, 10}, 1},
        // Right of the middle of the first row's last chip: after it, not into the next row.
        {{88, 10}, 2},
        {{88, 30}, 2},
        {{40, 31}, 2},
        {{88, 40}, 3},
        {{130, 40}, 4},
        {{10, 58}, 4}};
    for (const auto& [point, index] : drops)
        EXPECT_EQ(wrapping.insertionIndex(point), index) << point.x() << "," << point.y();
    // Without wrapping the height of the point does not matter.
    EXPECT_EQ(ChipStripLayout({40, 40}, {}, 60, false).insertionIndex({60, 500}), 1);

    EXPECT_EQ(wrapping.dropIndicator(0), QRectF(1, 5, 2, 22));
    EXPECT_EQ(wrapping.dropIndicator(3), QRectF(86, 32, 2, 22));
    EXPECT_EQ(wrapping.dropIndicator(4), QRectF(132, 32, 2, 22));
    EXPECT_EQ(ChipStripLayout({}, {}, 200, true).dropIndicator(0), QRectF(5, 5, 2, 22));

    EXPECT_EQ(wrapping.chipAt({46.5, 16}, 2), 0);
    EXPECT_EQ(wrapping.chipAt({46.5, 16}), std::nullopt);
}

} // namespace
