#include "editor/ChipPayload.h"

#include "harness/TestText.h"

#include <gtest/gtest.h>

namespace {

using ChipPayload::Payload;

TEST(ChipPayloadTest, EveryKindReadsBackWithBarsInsideTheChip) {
    for (const Payload& payload :
         {Payload{3, 0, Chip::token("HH")}, Payload{12, 7, Chip::text("a|b|")},
          Payload{1, 2, Chip::composite("{HH}:{min}")}, Payload{4, 1, Chip::text("")}}) {
        const QString text = ChipPayload::encode(payload);
        EXPECT_EQ(ChipPayload::decode(text), payload) << text;
    }
    EXPECT_EQ(ChipPayload::encode({5, 2, Chip::token("min")}), "5|2|t:min");
}

// Malformed or foreign text under our type is no payload at all.
TEST(ChipPayloadTest, AnythingElseIsRefused) {
    for (const char* text :
         {"", "5|t:min", "|2|t:min", "5||t:min", "x|2|t:min", "5|-2|t:min", "5|+2|t:min",
          "5|2|y:min", "5|2|min", "5 |2|t:min", "99999999999999999999|2|t:min", "hello"})
        EXPECT_FALSE(ChipPayload::decode(text)) << text;
}

} // namespace
