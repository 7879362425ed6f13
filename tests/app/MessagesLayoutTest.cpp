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

} // namespace
