#include "platform/Graphemes.h"

#include <gtest/gtest.h>

namespace {

TEST(GraphemesTest, CountsWhatAReaderSeesAsOneCharacter) {
    EXPECT_EQ(Graphemes::count("CH"), 2);
    EXPECT_EQ(Graphemes::count(QString::fromUtf8("e\u0301t\u00e9")), 3);       // combining acute
    EXPECT_EQ(Graphemes::count(QString::fromUtf8("\U0001F1E8\U0001F1ED")), 1); // one flag
}

TEST(GraphemesTest, UpperCasesOnlyTheFirstGraphemeInTheGivenLanguage) {
    const icu::Locale english("en");
    EXPECT_EQ(Graphemes::upperCaseFirst("mARS", english), "MARS"); // the rest is left alone
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("e\u0301t\u00e9"), english),
              QString::fromUtf8("E\u0301t\u00e9"));
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("\u00dfa"), english), "SSa");
    EXPECT_EQ(Graphemes::upperCaseFirst("istanbul", icu::Locale("tr")),
              QString::fromUtf8("\u0130stanbul"));
}

} // namespace
