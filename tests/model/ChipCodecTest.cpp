#include "model/ChipCodec.h"

#include <gtest/gtest.h>

namespace {

using Chips = QList<Chip>;

TEST(ChipCodecTest, DecodesTokensAndRunsOfSpacesOrOtherText) {
    EXPECT_EQ(ChipCodec::chipsFrom("{HH}:{min}"),
              (Chips{Chip::token("HH"), Chip::text(":"), Chip::token("min")}));
    EXPECT_EQ(ChipCodec::chipsFrom("{wd}  {day}"),
              (Chips{Chip::token("wd"), Chip::text("  "), Chip::token("day")}));
    EXPECT_EQ(ChipCodec::chipsFrom(QString::fromUtf8("{wd} \u00B7 {day}")),
              (Chips{Chip::token("wd"), Chip::text(" "), Chip::text(QString::fromUtf8("\u00B7")),
                     Chip::text(" "), Chip::token("day")}));
    EXPECT_EQ(ChipCodec::chipsFrom("{12}"), (Chips{Chip::text("{12}")}));
    // Blocks are not recognised: their brackets are text around the tokens.
    EXPECT_EQ(ChipCodec::chipsFrom("[Asia/Bangkok|{HH}]"),
              (Chips{Chip::text("[Asia/Bangkok|"), Chip::token("HH"), Chip::text("]")}));
}

TEST(ChipCodecTest, CompositesEncodeAsTheirFragmentAndNeverComeBack) {
    const QString fragment = "{dd}.{mm}.{year}";
    EXPECT_EQ(ChipCodec::templateFrom({Chip::composite(fragment)}), fragment);
    EXPECT_EQ(ChipCodec::chipsFrom(fragment),
              (Chips{Chip::token("dd"), Chip::text("."), Chip::token("mm"), Chip::text("."),
                     Chip::token("year")}));
    // Neighbouring text chips with no spaces merge into one on the way back.
    EXPECT_EQ(ChipCodec::templateFrom({Chip::text("S"), Chip::text("-"), Chip::token("week")}),
              "S-{week}");
    EXPECT_EQ(ChipCodec::chipsFrom("S-{week}"), (Chips{Chip::text("S-"), Chip::token("week")}));
    // A token chip may name a token nobody knows; it encodes in braces all the same.
    EXPECT_EQ(ChipCodec::templateFrom({Chip::token("foo")}), "{foo}");
}

TEST(ChipTest, AppendingPutsASpaceBeforeTokensAndFragmentsOnly) {
    EXPECT_EQ(Chip::token("weekday").appendedTemplate("{HH}:{min}"), " {weekday}");
    EXPECT_EQ(Chip::text(":").appendedTemplate("{HH}:{min}"), ":");
    EXPECT_EQ(Chip::composite("S{week}").appendedTemplate("{HH}"), " S{week}");
    EXPECT_EQ(Chip::token("HH").appendedTemplate(""), "{HH}");
    EXPECT_EQ(Chip::token("HH").appendedTemplate("{wd} "), "{HH}");
    // Only a plain space counts as the separation already being there.
    EXPECT_EQ(Chip::token("HH").appendedTemplate(QString::fromUtf8("{wd}\u00A0")), " {HH}");
}

} // namespace
