#include "editor/ChipStripLayout.h"

#include <gtest/gtest.h>

namespace {

QList<ChipSection> sectionsOf(std::initializer_list<std::pair<const char*, int>> sizes) {
    QList<ChipSection> sections;
    for (const auto& [title, count] : sizes)
        sections.append({title, QList<Chip>(count, Chip::token("HH"))});
    return sections;
}

TEST(ChipStripLayoutTest, ChipsOfSpacesAreSizedByTheirDotsAndOthersByTheirLabel) {
    const auto label = [](qreal width) { return [width] { return width; }; };
    const auto unmeasured = [] {
        ADD_FAILURE() << "a chip of spaces has no label to measure";
        return 0.0;
    };
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::text("   "), unmeasured), 26);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::text(""), unmeasured), 8);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::text(" · "), label(20.2)), 35);
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::token("HH"), label(3)), 22);
    // A token named by spaces is still a token, with a label.
    EXPECT_EQ(ChipStripLayout::chipWidth(Chip::token("  "), label(30)), 44);
    EXPECT_EQ(ChipStripLayout::dots(QRectF(10, 5, 26, 22), 3),
              (QList<QRectF>{{16, 15, 2, 2}, {22, 15, 2, 2}, {28, 15, 2, 2}}));
}

TEST(ChipStripLayoutTest, WrappingStartsRows27PointsLowerButNeverBeforeARowsFirstChip) {
    const ChipStripLayout wrapping({40, 40, 40, 200, 10}, {}, 100, true);
    EXPECT_EQ(
        wrapping.frames(),
        (QList<QRectF>{
            {5, 5, 40, 22}, {50, 5, 40, 22}, {5, 32, 40, 22}, {5, 59, 200, 22}, {5, 86, 10, 22}}));
    EXPECT_EQ(wrapping.requiredHeight(), 113);
    const ChipStripLayout oneRow({40, 40, 40}, {}, 100, false);
    EXPECT_EQ(oneRow.frames().last(), QRectF(95, 5, 40, 22));
    EXPECT_EQ(oneRow.requiredHeight(), 32);
    EXPECT_EQ(ChipStripLayout({}, {}, 100, true).requiredHeight(), 5);
}

TEST(ChipStripLayoutTest, SectionTitlesStandAboveTheirChips) {
    // The first section wraps onto a second row; the next title is 33 points below its top.
    const ChipStripLayout layout({40, 40, 40, 30, 30}, sectionsOf({{"Time", 3}, {"Date", 2}}), 100,
                                 true);
    EXPECT_EQ(layout.headers(), (QList<ChipStripLayout::Header>{{"Time", {7, 5, 86, 14}},
                                                                {"Date", {7, 81, 86, 14}}}));
    EXPECT_EQ(layout.frames().at(0), QRectF(5, 21, 40, 22));
    EXPECT_EQ(layout.frames().at(2), QRectF(5, 48, 40, 22));
    EXPECT_EQ(layout.frames().at(3), QRectF(5, 97, 30, 22));
    EXPECT_EQ(layout.frames().at(4), QRectF(40, 97, 30, 22));
    // A last section without chips still has room for its title.
    EXPECT_EQ(
        ChipStripLayout({40}, sectionsOf({{"Time", 1}, {"Empty", 0}}), 100, false).requiredHeight(),
        5 + 16 + 33 + 14 + 5);
}

TEST(ChipStripLayoutTest, PressesTakeTheChipWithinTwoPoints) {
    const ChipStripLayout layout({40, 40}, {}, 200, false);
    EXPECT_EQ(layout.chipAt({46.5, 16}, 2), 0);
    EXPECT_EQ(layout.chipAt({46.5, 16}), std::nullopt);
    EXPECT_EQ(layout.chipAt({52, 3.5}, 2), 1);
    EXPECT_EQ(layout.chipAt({52, 30}, 2), std::nullopt);
}

TEST(ChipStripLayoutTest, ADropGoesBeforeTheFirstChipOfItsRowWhoseMiddleIsRightOfIt) {
    // Rows: [0: 5–45, 1: 50–90] at y 5–27, [2: 5–85, 3: 90–130] at y 32–54.
    const ChipStripLayout wrapping({40, 40, 80, 40}, {}, 140, true);
    ASSERT_EQ(wrapping.frames().at(2).top(), 32);
    EXPECT_EQ(wrapping.insertionIndex({10, 10}), 0);
    EXPECT_EQ(wrapping.insertionIndex({60, 10}), 1);
    // Right of the first row's last middle: after it, not into the second row.
    EXPECT_EQ(wrapping.insertionIndex({88, 10}), 2);
    EXPECT_EQ(wrapping.insertionIndex({88, 30}), 2);
    EXPECT_EQ(wrapping.insertionIndex({40, 31}), 2);
    EXPECT_EQ(wrapping.insertionIndex({88, 40}), 3);
    EXPECT_EQ(wrapping.insertionIndex({130, 40}), 4);
    EXPECT_EQ(wrapping.insertionIndex({10, 58}), 4);
    // Without wrapping the height of the point does not matter.
    const ChipStripLayout row({40, 40}, {}, 60, false);
    EXPECT_EQ(row.insertionIndex({60, 500}), 1);
    EXPECT_EQ(row.insertionIndex({80, -3}), 2);
    EXPECT_EQ(ChipStripLayout({}, {}, 60, true).insertionIndex({10, 10}), 0);
}

TEST(ChipStripLayoutTest, TheDropIndicatorStandsThreePointsOffTheChipItIsBeside) {
    const ChipStripLayout layout({40, 80}, {}, 200, true);
    EXPECT_EQ(layout.dropIndicator(0), QRectF(1, 5, 2, 22));
    EXPECT_EQ(layout.dropIndicator(1), QRectF(46, 5, 2, 22));
    EXPECT_EQ(layout.dropIndicator(2), QRectF(132, 5, 2, 22));
    EXPECT_EQ(ChipStripLayout({}, {}, 200, true).dropIndicator(0), QRectF(5, 5, 2, 22));
}

} // namespace
