#include "statusline/ClickEvents.h"

#include <gtest/gtest.h>

namespace {

// Only a JSON object with a whole-number button is a click; a name or position of the wrong
// type is left out rather than taken as something else.
TEST(ClickEventsTest, AClickIsAnObjectWithAWholeButton) {
    const auto click = ClickEvent::parse(R"({"name":"A","button":1,"x":812,"y":4,"extra":[]})");
    ASSERT_TRUE(click);
    EXPECT_EQ(click->name, "A");
    EXPECT_EQ(click->button, 1);
    EXPECT_EQ(click->at, QPoint(812, 4));
    const auto odd = ClickEvent::parse(R"({"name":7,"button":3,"x":"812","y":4})");
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->name.isEmpty());
    EXPECT_FALSE(odd->at);
    for (const char* refused : {R"({"button":"1"})", R"({"button":1.5})", R"({"button":1e300})",
                                R"([{"button":1}])", "{", "", "null"}) {
        QString why;
        EXPECT_FALSE(ClickEvent::parse(refused, &why)) << refused;
        EXPECT_FALSE(why.isEmpty()) << refused;
    }
}

// What the wheel and the middle button ask of the application (the program test clicks the
// others).
TEST(ClickEventsTest, EachButtonOpensWhatItShould) {
    EXPECT_EQ((ClickEvent{"A", 4, QPoint()}.openArguments()), (QStringList{"--scroll=1"}));
    EXPECT_EQ((ClickEvent{"A", 5, QPoint()}.openArguments()), (QStringList{"--scroll=-1"}));
    EXPECT_TRUE((ClickEvent{"A", 2, QPoint()}.openArguments().isEmpty()));
}

} // namespace
