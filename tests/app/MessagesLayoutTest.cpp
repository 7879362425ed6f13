#include "app/MessagesLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace MessagesLayout;

// Header, 5, body, 16, separator, 18, next header; the list reaches 10 below the last step
// and is never lower than the window's list.
TEST(MessagesLayoutTest, EntriesStackDownwardsFromTwenty) {
    const ListFrames two = entries({{QSize(120, 14), 34}, {QSize(90, 14), 17}});
    ASSERT_EQ(two.entries.size(), 2);
    EXPECT_EQ(two.entries.at(0),
              (EntryFrames{QRect(22, 20, 120, 14), QRect(22, 39, 416, 34), QRect(22, 89, 416, 1)}));
    EXPECT_EQ(two.entries.at(1), (EntryFrames{QRect(22, 107, 90, 14), QRect(22, 126, 416, 17),
                                              QRect(22, 159, 416, 1)}));
    EXPECT_EQ(two.height, 416);
    EXPECT_EQ(entries({{QSize(120, 14), 500}}).height, 20 + 14 + 5 + 500 + 16 + 18 + 10);
    EXPECT_EQ(entries({}).height, 416);
}

// The window counts from its top: the send button's right edge at 438 and bottom 14 above
// the window's, the hint at x 22 with its bottom 20 above it (or, alone, centred under the
// divider), the empty note centred.
TEST(MessagesLayoutTest, ControlsSizedToFitKeepTheirEdges) {
    EXPECT_EQ(sendButton(QSize(70, 28)), QRect(368, 478, 70, 28));
    EXPECT_EQ(hint(QSize(200, 13)), QRect(22, 487, 200, 13));
    EXPECT_EQ(emptyNote(QSize(100, 16)), QRect(180, 60, 100, 16));
    EXPECT_EQ(closedHint(QSize(300, 13)), QRect(22, 462, 300, 13));
}

} // namespace
