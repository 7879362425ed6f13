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

// What each button asks of the application.
TEST(ClickEventsTest, EachButtonOpensWhatItShould) {
    EXPECT_EQ((ClickEvent{"A", 1, QPoint(812, 4)}.openArguments()),
              (QStringList{"--open=panel", "--at=812,4"}));
    EXPECT_EQ((ClickEvent{"A", 3, std::nullopt}.openArguments()), (QStringList{"--open=menu"}));
    EXPECT_EQ((ClickEvent{"A", 4, QPoint()}.openArguments()), (QStringList{"--scroll=1"}));
    EXPECT_EQ((ClickEvent{"A", 5, QPoint()}.openArguments()), (QStringList{"--scroll=-1"}));
    EXPECT_TRUE((ClickEvent{"A", 2, QPoint()}.openArguments().isEmpty()));
}

// The stream as a bar writes it, cut anywhere: the array's opening, commas before all but the
// first click, a line too long to keep (dropped whole, and the next one still read), garbage.
TEST(ClickEventsTest, TheReaderTakesEveryClickOfTheStreamAndNothingElse) {
    QList<int> buttons;
    ClickReader reader([&](const ClickEvent& click) { buttons.append(click.button); });
    const QByteArray stream = "[\n{\"button\":1}\n,{\"button\":3}\n,not json\n,{\"button\":" +
                              QByteArray(ClickReader::maxLine, '7') + "}\n,{\"button\":5}\n";
    for (qsizetype at = 0; at < stream.size(); at += 4099)
        reader.feed(stream.mid(at, 4099));
    EXPECT_EQ(buttons, (QList<int>{1, 3, 5}));
}

} // namespace
