#include "editor/PopoverPlacement.h"

#include <gtest/gtest.h>

namespace {

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
