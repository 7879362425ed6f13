#include "platform/DockPlacement.h"

#include <gtest/gtest.h>

namespace {

// A 30-pixel dock along the top edge, and the 24-pixel bar under it.
TEST(DockPlacementTest, TheBarGoesUnderOtherDocksAndNeverUnderItself) {
    // First placement: the work area is the others' alone.
    EXPECT_EQ(DockPlacement::top(30, std::nullopt, 30, 0), 30);
    // The compositor's own panel has no window: only the work area tells of it.
    EXPECT_EQ(DockPlacement::top(27, std::nullopt, 0, 0), 27);
    // The window manager has not counted the bar's strip yet.
    EXPECT_EQ(DockPlacement::top(30, 54, 30, 30), 30);
    // It has: the area ends at the bar's own edge, which says nothing of the others.
    EXPECT_EQ(DockPlacement::top(54, 54, 30, 30), 30);
    EXPECT_EQ(DockPlacement::top(51, 51, 0, 27), 27);
    // The dock grew past the bar's top, while the area still ends at the bar.
    EXPECT_EQ(DockPlacement::top(54, 54, 40, 30), 40);
    // Something reaches below the bar: it goes under that.
    EXPECT_EQ(DockPlacement::top(70, 54, 30, 30), 70);
    // The area moved up past the bar's edge (the others went, and the bar's strip is not
    // counted): up it goes.
    EXPECT_EQ(DockPlacement::top(0, 54, 0, 30), 0);
}

} // namespace
