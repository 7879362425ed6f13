#include "editor/EmojiRuns.h"

#include "harness/TestText.h"

#include <gtest/gtest.h>

namespace EmojiRuns {
void PrintTo(const Run& run, std::ostream* out) {
    *out << (run.emoji ? "emoji " : "text ") << run.text;
}
} // namespace EmojiRuns

namespace {

using Runs = QList<EmojiRuns::Run>;

TEST(EmojiRunsTest, EmojiGraphemesStayWholeAndApartFromTheTextAroundThem) {
    const QString family = QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString keycap = QString::fromUtf8("1\uFE0F\u20E3");
    EXPECT_EQ(EmojiRuns::split(flagOf("AR") + " Buenos Aires 10:07:09"),
              (Runs{{flagOf("AR"), true}, {" Buenos Aires 10:07:09", false}}));
    EXPECT_EQ(EmojiRuns::split("a" + flagOf("CH") + flagOf("TH") + family + "b" + keycap),
              (Runs{{"a", false},
                    {flagOf("CH") + flagOf("TH") + family, true},
                    {"b", false},
                    {keycap, true}}));
    EXPECT_EQ(EmojiRuns::split("12:07 \u05E9\u05DC\u05D5\u05DD"),
              (Runs{{"12:07 \u05E9\u05DC\u05D5\u05DD", false}}));
    EXPECT_TRUE(EmojiRuns::split("").isEmpty());
}

TEST(EmojiRunsTest, RunsThatDoNotFitTogetherLeaveRoomForTheEllipsis) {
    EXPECT_EQ(EmojiRuns::wholeRuns({10, 20, 30}, 60, 5), 3);
    EXPECT_EQ(EmojiRuns::wholeRuns({10, 20, 30}, 59, 5), 2);
    EXPECT_EQ(EmojiRuns::wholeRuns({10, 20, 30}, 34, 5), 1);
    EXPECT_EQ(EmojiRuns::wholeRuns({50}, 40, 5), 0);
    EXPECT_EQ(EmojiRuns::wholeRuns({}, 0, 5), 0);
}

} // namespace
